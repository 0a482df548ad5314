#pragma once
// The loading window as one line per server on standard error: the window's
// last caption and how many list lines arrived, or that the server's list was
// not loaded (its failure has been written by the console interface before).
// After a Ctrl+C no further server is started.

#include "exchange/listloadview.h"

class QTextStream;

class ConsoleListLoadView : public ListLoadView
{
public:
    // count gives the lines received from the current server's list.
    ConsoleListLoadView(QTextStream &err, std::function<int()> count);

    void runServer(const std::function<bool()> &opening, const std::function<void()> &abort) override;
    void setCaption(const QString &caption) override { m_caption = caption; }
    void showCount(int) override {}
    void showGroupName(const QString &) override {}
    void showSkipped(int count) override { m_skipped = count; }

private:
    QTextStream &m_err;
    std::function<int()> m_count;
    QString m_caption;
    int m_skipped = 0;
};
