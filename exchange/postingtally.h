#pragma once
// What a posting run did, in one line for the main window's status bar:
// "Posted 2 messages to 5 newsgroups; 1 newsgroup failed".

#include <QString>

struct PostingTally
{
    int messages = 0; // moved to the Inbox
    int newsgroups = 0; // newsgroups that got a copy
    int failedNewsgroups = 0; // newsgroups tried without a copy
    bool aborted = false;
    bool endedByError = false;
    bool outboxEmpty = false;

    QString text() const;
};
