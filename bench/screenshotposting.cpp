// The posting window after a run with one failure: a question filed under a
// category of two newsgroups, one of them carried only by a server that is
// down (nothing listens on its port), and a reply to an answer; the other
// posts go to the scripted fake news server, which takes them.

#include "screenshots.h"

#include "exchange/postingrun.h"
#include "runwindows/sendgroup.h"
#include "store/dmod.h"
#include "tests/exchange/exchangetesting.h"
#include "tests/support/fakenewsserver.h"
#include "tests/support/freeport.h"
#include "tests/support/scratchstore.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>

namespace {

const QDateTime kNow(QDate(2024, 3, 4), QTime(9, 12, 40));
const QString kQuestion = QStringLiteral("News server for alt.comp.lang.cpp?");
const QString kQuestionBody = QStringLiteral("Hello all,\r\n\r\nI am looking for a news server that carries "
                                             "alt.comp.lang.cpp. Any hints?\r\n\r\nJane");
const QString kReply = QStringLiteral("Re: Printer sharing on a small network");
const QString kReplyBody = QStringLiteral("Thank you, the defaults work here too.");

// The fake server runs on 127.0.0.1 and the server that is down is reached as
// "localhost": the run skips every further group of a host it could not reach.
QString seed(const FakeNewsServer &server, quint16 downPort)
{
    return QStringLiteral("INSERT INTO Servers (Code, ProfileName, ServerName, Port) VALUES "
                          "(1, 'news.example.org', '%1', %2), (2, 'news.example.net', 'localhost', %3);")
               .arg(server.host())
               .arg(server.port())
               .arg(downPort)
        + fill::account(1, QStringLiteral("Jane Miller"), QStringLiteral("jane@example.org"), {})
        + fill::group(1, QStringLiteral("comp.lang.c++")) + fill::group(2, QStringLiteral("alt.comp.lang.cpp"))
        + fill::group(3, QStringLiteral("comp.os.linux.networking")) + fill::carries(1, 1) + fill::carries(2, 2)
        + fill::carries(1, 3) + fill::category(1, 0, false, QStringLiteral("Programming"))
        + fill::category(2, 1, true, QStringLiteral("C++")) + fill::groupCategory(1, 2)
        + fill::groupCategory(2, 2)
        // The answer replied to, found earlier in comp.os.linux.networking.
        + QStringLiteral("INSERT INTO Article (Code, Parent, Folder, ArticleType, IsRead, Subject, \"From\", Source) "
                         "VALUES (10, 0, 0, 0, -1, 'Printer sharing on a small network', 'Ray <ray@example.net>', "
                         "'comp.os.linux.networking');")
        + fill::sent(10, QStringLiteral("<ray.1@example.net>"), QStringLiteral("<start@example.net>"), 3)
        + fill::question(1, 1, 2, kQuestion, kQuestionBody, 1)
        + fill::reply(2, 1, 10, QStringLiteral("comp.os.linux.networking"), kReply, kReplyBody, 1);
}

NntpMessage article(const QString &subject, const QString &body, const QString &group, const QString &references,
                    int id)
{
    return postedArticle(subject, body, kNow, QStringLiteral("Jane Miller"), QStringLiteral("jane@example.org"), {},
                         group, references, QStringLiteral("<shot.%1@example.org>").arg(id));
}

} // namespace

int shootPostingWindow(const QString &out)
{
    FakeNewsServer server;
    ScratchStore store;
    store.exec(seed(server, pickFreePort()));
    // The question's copy in comp.lang.c++ and the reply; the copy for
    // alt.comp.lang.cpp never reaches a server.
    server.addScript(postConnection(article(kQuestion, kQuestionBody, QStringLiteral("comp.lang.c++"), {}, 1)));
    server.addScript(postConnection(article(kReply, kReplyBody, QStringLiteral("comp.os.linux.networking"),
                                            QStringLiteral("<start@example.net> <ray.1@example.net>"), 2)));

    Tdm dm(store.path());
    dm.DataModuleCreate();
    RecordingFolders folders{1};
    TfmSendGroup window(dm, folders);
    window.run().setDialUpCheck([] { return true; });
    int ids = 0;
    window.run().setMessageIdSource([&ids] { return QStringLiteral("<shot.%1@example.org>").arg(++ids); });
    window.run().setClock([] { return kNow; });

    // The window is modal and runs the posting when shown: the box about the
    // server that is down is answered, and once the run is over the window,
    // which stays open after an error, is drawn.
    int code = 1;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            std::printf("answered the box \"%s\": %s\n", qPrintable(box->windowTitle()), qPrintable(box->text()));
            box->accept();
            return;
        }
        // The rows appear with the run, in a window made empty.
        if (window.SendTree()->topLevelItemCount() == 0 || window.run().running() || !window.isVisible())
            return;
        watcher.stop();
        if (!server.waitForScripts())
            std::fprintf(stderr, "quorbic-screenshot: the fake server saw %s\n", qPrintable(server.failure()));
        window.grab(); // the last rows laid out
        QTimer::singleShot(300, &window, [&] {
            const bool saved = window.grab().save(out);
            std::printf("%s %s (errors: %d)\n", saved ? "wrote" : "could not write", qPrintable(out),
                        window.run().errorCount());
            code = saved && window.run().errorCount() == 1 ? 0 : 1;
            window.btnAbortClick();
        });
    });
    watcher.start(20);
    window.exec();
    dm.close();
    return code;
}
