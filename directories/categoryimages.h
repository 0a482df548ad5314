#pragma once
// The pictures of the category tree, drawn here so that they need no image
// files: the image list in its fixed order (a node's kind is read back from its
// image index), and the pencil that marks a newsgroup of the current category.

class QIcon;

namespace CategoryImages {

enum Index {
    Category = 0, // a list sheet
    ClosedFolder = 1,
    OpenFolder = 2, // shown instead of the closed folder while a folder is expanded
    Root = 3, // a pile of folders
};

const QIcon &icon(Index index);
const QIcon &pencil();
// A blank of the pencil's size, so that unmarked names line up with marked ones.
const QIcon &noMark();

} // namespace CategoryImages
