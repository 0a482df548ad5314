#pragma once
// Stands in for a window whose own code is not part of the program yet: it has
// the window's name and caption and says so, with a Close button.

#include <QDialog>

class PlaceholderWindow : public QDialog
{
    Q_OBJECT
public:
    PlaceholderWindow(const QString &name, const QString &caption, QWidget *parent);
};
