#pragma once
// The main window as the message commands see it: the folder shown, the
// selected message and the messages threaded below a message, the read row
// Reply reads the answered message through, and the tree operations the runs
// use too (FolderView).

#include "exchange/folderview.h"

#include <QList>

class QWidget;
class RowSet;

class MessageFolder : public FolderView
{
public:
    // The window the commands' boxes belong to.
    virtual QWidget *window() const = 0;
    // The code of the selected message; 0 when no node is selected.
    virtual int selectedCode() const = 0;
    // The codes of the nodes directly below the message's node, in display
    // order; empty when it has none or is not in the tree.
    virtual QList<int> childCodes(int code) const = 0;
    // The main window's `qryReadArticle` ("SELECT * FROM ARTICLE WHERE Code=:Id").
    virtual RowSet &qryReadArticle() = 0;
};
