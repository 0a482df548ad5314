#pragma once
// ImageList1 of the posting window: image 0 the success mark, image 1 the
// failure mark, drawn at the size of a tree row.

class QIcon;

QIcon successMark();
QIcon failureMark();
