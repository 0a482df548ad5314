#pragma once
// Password fields that show each character as "*", whatever mask character
// the desktop style would choose.

class QLineEdit;

void showPasswordAsStars(QLineEdit *edit);
