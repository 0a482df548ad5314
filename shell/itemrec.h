#pragma once
// The record every node of the message tree carries: which message it shows
// and whether that message had been read. The node owns it; it goes with the node.

#include <QtGlobal>

struct TItemRec
{
    qint32 Code = 0;
    bool IsRead = true;
};
