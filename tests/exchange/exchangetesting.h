#pragma once
// What the exchange tests share: a RunUi, a FolderView and a posting view that
// record what the runs show, the SQL that fills a scratch store, and the
// script of one posting connection for the fake news server.

#include "exchange/folderview.h"
#include "exchange/postingview.h"
#include "exchange/runui.h"
#include "transport/newsclient.h"
#include "transport/nntpmessage.h"

#include <QDateTime>
#include <QSet>
#include <QStringList>

#include <functional>

class RecordingUi : public RunUi
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
        boxes << Box{title, text, icon};
        if (onMessage)
            onMessage(boxes.last());
    }
    bool ask(const QString &title, const QString &) override
    {
        asked << title;
        return true;
    }
    bool askPlainLogin(const QString &host, const QString &reply) override
    {
        plainLoginQuestions << plainLoginQuestion(host, reply);
        return plainLoginAnswer;
    }
    void showStatus(int panel, const QString &text) override { (panel == 0 ? status0 : status1) << text; }
    void processEvents() override
    {
        ++processEventsCalls;
        if (onProcessEvents)
            onProcessEvents(processEventsCalls);
    }
    // The pauses inside waits on a server come as often as the server is
    // slow: counted apart, so that processEventsCalls counts the run's steps.
    void processEventsWhileWaiting() override
    {
        ++waitingCalls;
        if (onWaiting)
            onWaiting();
    }
    void setBusy(bool busy) override { busyChanges << busy; }

    // "title | text" of every box, in order.
    QStringList boxTexts() const
    {
        QStringList texts;
        for (const Box &box : boxes)
            texts << box.title + QStringLiteral(" | ") + box.text;
        return texts;
    }

    QStringList plainLoginQuestions;
    bool plainLoginAnswer = false;
    QList<Box> boxes;
    QStringList asked;
    QStringList status0;
    QStringList status1;
    QList<bool> busyChanges;
    int processEventsCalls = 0;
    int waitingCalls = 0;
    std::function<void()> onWaiting;
    std::function<void(int call)> onProcessEvents;
    std::function<void(const Box &)> onMessage;
};

// The main window's tree as far as the runs touch it: a node per message code
// with its parent node (0 at the top level), as AddArticleNode places it.
class RecordingFolders : public FolderView
{
public:
    explicit RecordingFolders(int folder = 0)
        : folder(folder)
    {}

    int currentFolder() const override { return folder; }
    void addArticleNode(int code, int parentCode) override
    {
        const int under = nodes.contains(parentCode) ? parentCode : 0;
        nodes.insert(code, under);
        ops << QStringLiteral("add %1 under %2").arg(code).arg(under);
    }
    void deleteArticleNode(int code) override
    {
        nodes.remove(code);
        ops << QStringLiteral("delete %1").arg(code);
    }
    void expandArticleNode(int code) override
    {
        if (nodes.contains(code))
            ops << QStringLiteral("expand %1").arg(code);
    }

    int folder;
    QHash<int, int> nodes; // code -> parent node (0: top level)
    QStringList ops;
};

class RecordingPostingView : public PostingView
{
public:
    struct Row
    {
        int messageRow; // -1 for a message row
        QString text;
        Mark mark = Mark::None;
        QString result;
    };

    void clearRows() override { rows.clear(); }
    int addMessageRow(const QString &subject) override
    {
        rows << Row{-1, subject, Mark::None, {}};
        return int(rows.size()) - 1;
    }
    int addGroupRow(int messageRow, const QString &group) override
    {
        rows << Row{messageRow, group, Mark::None, {}};
        return int(rows.size()) - 1;
    }
    void setRowMark(int row, Mark mark) override { rows[row].mark = mark; }
    void setRowResult(int row, const QString &text) override { rows[row].result = text; }
    void runStarted() override { events << QStringLiteral("started"); }
    void messageFinished() override { events << QStringLiteral("message finished"); }
    void runEnded(Ending ending) override
    {
        events << (ending == Ending::WithoutErrors    ? QStringLiteral("ended without errors")
                       : ending == Ending::WithErrors ? QStringLiteral("ended with errors")
                                                      : QStringLiteral("failed"));
        if (ending == Ending::WithoutErrors)
            ++closeRequests;
    }

    // Every row as "subject" or "  group | mark | result".
    QStringList lines() const
    {
        QStringList out;
        for (const Row &row : rows) {
            if (row.messageRow < 0) {
                out << row.text;
                continue;
            }
            const char *mark = row.mark == Mark::Success ? "ok" : row.mark == Mark::Failure ? "failed" : "-";
            out << QStringLiteral("  %1 | %2 | %3").arg(row.text, QLatin1String(mark), row.result);
        }
        return out;
    }

    QList<Row> rows;
    QStringList events;
    int closeRequests = 0;
};

// SQL that fills a scratch store; every row gets the Code the test names.
namespace fill {

inline QString quoted(const QString &text)
{
    return QLatin1Char('\'') + QString(text).replace(QLatin1Char('\''), QStringLiteral("''")) + QLatin1Char('\'');
}

inline QString server(int code, const QString &host, int port)
{
    return QStringLiteral("INSERT INTO Servers (Code, ProfileName, ServerName, Port) VALUES (%1, %2, %3, %4);")
        .arg(code)
        .arg(quoted(host), quoted(host))
        .arg(port);
}

inline QString proxiedServer(int code, const QString &host, int port, const QString &proxyHost, int proxyPort,
                             const QString &proxyUser, const QString &proxyPassword)
{
    return QStringLiteral("INSERT INTO Servers (Code, ProfileName, ServerName, Port, IsProxy, Host, ProxyPort, "
                          "ProxyLogin, ProxyPassword) VALUES (%1, %2, %2, %3, -1, %4, %5, %6, %7);")
        .arg(code)
        .arg(quoted(host))
        .arg(port)
        .arg(quoted(proxyHost))
        .arg(proxyPort)
        .arg(quoted(proxyUser), quoted(proxyPassword));
}

inline QString group(int code, const QString &name)
{
    return QStringLiteral("INSERT INTO Groups (Code, GroupName) VALUES (%1, %2);").arg(code).arg(quoted(name));
}

inline QString carries(int server, int group)
{
    return QStringLiteral("INSERT INTO GroupServer (Newsgroup, Server) VALUES (%1, %2);").arg(group).arg(server);
}

inline QString account(int code, const QString &userName, const QString &address, const QString &organization)
{
    return QStringLiteral("INSERT INTO Account (Code, AccountName, UserName, \"E-mail address\", Organization) "
                          "VALUES (%1, %2, %2, %3, %4);")
        .arg(code)
        .arg(quoted(userName), quoted(address), quoted(organization));
}

inline QString category(int code, int parent, bool isCategory, const QString &name)
{
    return QStringLiteral("INSERT INTO Categories (Code, Parent, Kind, Name) VALUES (%1, %2, %3, %4);")
        .arg(code)
        .arg(parent)
        .arg(isCategory ? -1 : 0)
        .arg(quoted(name));
}

inline QString groupCategory(int group, int category)
{
    return QStringLiteral("INSERT INTO GroupCategory (Newsgroup, Category) VALUES (%1, %2);").arg(group).arg(category);
}

inline QString question(int code, int folder, int category, const QString &subject, const QString &body, int account,
                        const QString &source = {})
{
    return QStringLiteral("INSERT INTO Article (Code, Parent, Folder, ArticleType, IsRead, Subject, Body, Category, "
                          "Account, Source) VALUES (%1, 0, %2, -1, -1, %3, %4, %5, %6, %7);")
        .arg(code)
        .arg(folder)
        .arg(quoted(subject), quoted(body))
        .arg(category)
        .arg(account)
        .arg(quoted(source));
}

inline QString reply(int code, int folder, int parent, const QString &newsgroup, const QString &subject,
                     const QString &body, int account, const QString &references = {})
{
    return QStringLiteral("INSERT INTO Article (Code, Parent, Folder, ArticleType, IsRead, Subject, Body, Newsgroup, "
                          "Account, \"References\") VALUES (%1, %2, %3, 0, -1, %4, %5, %6, %7, %8);")
        .arg(code)
        .arg(parent)
        .arg(folder)
        .arg(quoted(subject), quoted(body), quoted(newsgroup))
        .arg(account)
        .arg(quoted(references));
}

inline QString sent(int articleId, const QString &messageId, const QString &references, int groupId)
{
    return QStringLiteral("INSERT INTO SentArticles (ArticleId, MessageId, ReferencesId, GroupId) "
                          "VALUES (%1, %2, %3, %4);")
        .arg(articleId)
        .arg(quoted(messageId), quoted(references))
        .arg(groupId);
}

} // namespace fill

// The article the posting run sends for one copy, built the way the run fills
// msgNNTP, so a script can expect its exact lines.
inline NntpMessage postedArticle(const QString &subject, const QString &body, const QDateTime &date,
                                 const QString &userName, const QString &address, const QString &organization,
                                 const QString &group, const QString &references, const QString &messageId)
{
    NntpMessage message;
    message.subject = subject;
    message.setBodyText(body);
    message.date = date;
    message.from.name = userName;
    message.from.address = address;
    message.organization = organization;
    message.newsGroups = QStringList{group};
    message.references = references;
    message.msgId = messageId;
    return message;
}

// One connection of the fake news server that greets, takes the reader mode,
// takes the article (answered with finalReply) and sees the client quit.
inline QStringList postConnection(const NntpMessage &article,
                                  const QString &finalReply = QStringLiteral("240 article posted ok"))
{
    QStringList script{QStringLiteral("S: 200 fake news server ready (posting ok)"), QStringLiteral("C: mode reader"),
                       QStringLiteral("S: 200 reader mode"), QStringLiteral("C: Post"),
                       QStringLiteral("S: 340 send article")};
    for (const QByteArray &line : article.postLines(NewsClientSettings().NewsAgent))
        script << QStringLiteral("C: ") + QString::fromUtf8(line);
    script << QStringLiteral("C: .") << QStringLiteral("S: ") + finalReply << QStringLiteral("C: Quit");
    return script;
}
