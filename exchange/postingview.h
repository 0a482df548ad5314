#pragma once
// The posting window as the posting run sees it: one row per message with a
// row per newsgroup below it, a mark and a result text per newsgroup row, and
// when the run starts, finishes a message and ends, so that the window can
// offer Abort while the run goes and Close after it.

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
    enum class Ending { WithoutErrors, WithErrors, Failed };

    // The run has begun.
    virtual void runStarted() = 0;
    // The run is done with a message (posted, refused or aborted).
    virtual void messageFinished() = 0;
    // The run has ended; WithoutErrors: every newsgroup was reached or the
    // Outbox was empty, so the window may close once the run has returned.
    virtual void runEnded(Ending ending) = 0;
};
