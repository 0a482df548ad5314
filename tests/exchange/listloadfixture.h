#pragma once
// What the newsgroup list tests share: a RunUi that records what the loader
// shows, a loading window without a window that records its texts and can press
// Abort, and a scratch store with its data module and server rows.

#include "exchange/listloadview.h"
#include "exchange/runui.h"
#include "store/dmod.h"
#include "transport/newsclient.h"
#include "tests/support/scratchstore.h"

#include <QList>
#include <QStringList>
#include <functional>
#include <memory>

class RecordingRunUi : public RunUi
{
public:
    struct Box
    {
        QString title;
        QString text;
        Icon icon;
    };

    void showMessage(const QString &title, const QString &text, Icon icon) override
    {
        boxes.append({title, text, icon});
    }
    bool ask(const QString &, const QString &) override { return true; }
    bool askPlainLogin(const QString &host, const QString &reply) override
    {
        plainLoginQuestions << plainLoginQuestion(host, reply);
        return plainLoginAnswer;
    }
    void showStatus(int panel, const QString &text) override { (panel == 0 ? status0 : status1).append(text); }
    void processEvents() override
    {
        ++events;
        if (onEvents)
            onEvents();
    }
    // Pauses inside waits on a server are not the loader's steps.
    void processEventsWhileWaiting() override {}

    // "title|text" of each box, for comparing in one go.
    QStringList boxTexts() const
    {
        QStringList texts;
        for (const Box &box : boxes)
            texts << box.title + QLatin1Char('|') + box.text;
        return texts;
    }

    QStringList plainLoginQuestions;
    bool plainLoginAnswer = false;
    QList<Box> boxes;
    QStringList status0;
    QStringList status1;
    int events = 0;
    std::function<void()> onEvents;
};

class RecordingLoadView : public ListLoadView
{
public:
    void runServer(const std::function<bool()> &opening, const std::function<void()> &abort) override
    {
        m_abort = abort;
        closedByItself << opening();
        m_abort = nullptr;
    }
    void setCaption(const QString &caption) override { captions << caption; }
    void showCount(int count) override { counts << count; }
    void showGroupName(const QString &name) override { lastGroupName = name; }
    void showSkipped(int count) override { skipped << count; }

    // Presses Abort in the window of the server being loaded.
    void pressAbort()
    {
        if (m_abort)
            m_abort();
    }

    QStringList captions;
    QList<int> counts;
    QList<bool> closedByItself; // per server: true when the window closed by itself
    QString lastGroupName;
    QList<int> skipped;

private:
    std::function<void()> m_abort;
};

// A scratch store with rows in Servers, opened by a data module once the rows
// are in (tbServer reads them when the store opens).
class LoadStore
{
public:
    // Adds a server row; returns its Code.
    int addServer(const QString &host, quint16 port)
    {
        store.exec(QStringLiteral("INSERT INTO Servers (ProfileName, ServerName, Port) VALUES ('%1', '%1', %2)")
                       .arg(host)
                       .arg(port));
        return store.rows(QStringLiteral("SELECT max(Code) FROM Servers")).value(0).toInt();
    }

    Tdm &open()
    {
        dm = std::make_unique<Tdm>(store.path());
        dm->DataModuleCreate();
        return *dm;
    }

    // The committed rows of a query, columns joined with "|".
    QStringList rows(const QString &query) const { return store.rows(query); }
    int count(const QString &table) const
    {
        return store.rows(QStringLiteral("SELECT count(*) FROM ") + table).value(0).toInt();
    }
    // Every link as "group|server code", in name order.
    QStringList links() const
    {
        return store.rows(
            QStringLiteral("SELECT g.GroupName, gs.Server FROM GroupServer gs JOIN Groups g ON g.Code = gs.Newsgroup "
                           "ORDER BY g.GroupName, gs.Server"));
    }

    ScratchStore store;
    std::unique_ptr<Tdm> dm;
};
