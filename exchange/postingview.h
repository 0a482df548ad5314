#pragma once
// The posting window as the posting run sees it: one row per message with a
// row per newsgroup below it, a mark and a result text per newsgroup row, and
// the button that reads "Abort" while the run goes and "Close" after it.

#include <QString>

class PostingView
{
public:
    enum class Mark { None, Success, Failure };

    virtual ~PostingView() = default;

    virtual void clearRows() = 0;
    // A top-level row for a message, shown bold and expanded; returns its row.
    virtual int addMessageRow(const QString &subject) = 0;
    // A row for a newsgroup below the message's row, without mark or result.
    virtual int addGroupRow(int messageRow, const QString &group) = 0;
    virtual void setRowMark(int row, Mark mark) = 0;
    virtual void setRowResult(int row, const QString &text) = 0;
    virtual void setButtonCaption(const QString &caption) = 0;
    virtual void focusButton() = 0;
    // The run ended without an error: close once the run has returned.
    virtual void requestClose() = 0;
};
