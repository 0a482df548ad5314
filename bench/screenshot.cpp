// quorbic-screenshot: the main window on a small store of threads, drawn into
// a PNG for the README. Run it under a virtual X server:
//   xvfb-run -a -s "-screen 0 1024x768x24" quorbic-screenshot docs/main-window.png

#include "shell/articleitem.h"
#include "shell/desktopopener.h"
#include "shell/main.h"
#include "shell/messagetree.h"
#include "store/dmod.h"
#include "store/sqlcommand.h"
#include "store/storeschema.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>

namespace {

class NoDesktop : public DesktopOpener
{
public:
    bool available() const override { return true; }
    void open(const QUrl &) override {}
};

struct Row
{
    int code;
    int parent;
    int folder;
    bool read;
    const char *subject;
    const char *from;
    const char *sent;
    const char *source;
    const char *body;
};

const Row kRows[] = {
    {1, 0, 0, true, "Which NNTP server carries alt.comp.lang.cpp?", "Jane Miller <jane@example.org>",
     "2024-03-04 09:12:40", "alt.comp.lang.cpp,comp.lang.c++",
     "Hello all,\r\n\r\nI am looking for a news server that carries alt.comp.lang.cpp. Any hints?\r\n\r\nJane"},
    {2, 1, 0, true, "Re: Which NNTP server carries alt.comp.lang.cpp?", "Tom Baker <tom@example.net>",
     "2024-03-04 11:40:03", "comp.lang.c++",
     "Jane Miller wrote:\r\n> I am looking for a news server that carries alt.comp.lang.cpp.\r\n\r\n"
     "Most free servers do. The list at http://www.example.org/servers.html is kept up to date,\r\n"
     "and you can ask the maintainer at mailto:servers@example.org if yours is missing.\r\n\r\n"
     "Regards,\r\nTom"},
    {3, 2, 0, false, "Re: Which NNTP server carries alt.comp.lang.cpp?", "Ann Lee <ann@example.com>",
     "2024-03-05 08:02:51", "comp.lang.c++", "Thanks Tom, that list helped me too."},
    {4, 1, 0, true, "Re: Which NNTP server carries alt.comp.lang.cpp?", "Dirk <dirk@example.de>",
     "2024-03-05 16:30:00", "alt.comp.lang.cpp", "Try news.example.de, it has the whole hierarchy."},
    {5, 0, 0, true, "Best way to read a file line by line?", "Jane Miller <jane@example.org>",
     "2024-03-06 10:00:00", "comp.lang.c++", "What is the idiomatic way these days?"},
    {6, 5, 0, false, "Re: Best way to read a file line by line?", "Pat <pat@example.com>", "2024-03-06 12:15:09",
     "comp.lang.c++", "std::getline in a while loop."},
    {7, 0, 0, true, "Anyone using SOCKS 5 with a news reader?", "Jane Miller <jane@example.org>",
     "2024-03-07 00:00:00", "news.software.readers", "Does it work behind a company proxy?"},
    {8, 0, 0, false, "Re: Printer sharing on a small network", "Ray <ray@example.org>", "2024-02-28 18:45:33",
     "comp.os.linux.networking", "Sharing works with the defaults."},
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("main-window.png");
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("qa.mdb"));
    StoreSchema::create(path);
    Tdm dm(path);
    dm.DataModuleCreate();
    SqlCommand insert(dm.MainConnection(),
                      QStringLiteral("INSERT INTO Article (Code, Parent, Folder, ArticleType, IsRead, Subject, "
                                     "\"From\", SentDate, Source, Body) VALUES (:Code, :Parent, :Folder, :Type, "
                                     ":IsRead, :Subject, :From, :SentDate, :Source, :Body)"));
    for (const Row &r : kRows) {
        insert.bind(QStringLiteral("Code"), r.code)
            .bind(QStringLiteral("Parent"), r.parent)
            .bind(QStringLiteral("Folder"), r.folder)
            .bind(QStringLiteral("Type"), r.parent == 0)
            .bind(QStringLiteral("IsRead"), r.read)
            .bind(QStringLiteral("Subject"), QString::fromUtf8(r.subject))
            .bind(QStringLiteral("From"), QString::fromUtf8(r.from))
            .bind(QStringLiteral("SentDate"), QDateTime::fromString(QLatin1String(r.sent), QStringLiteral("yyyy-MM-dd HH:mm:ss")))
            .bind(QStringLiteral("Source"), QString::fromUtf8(r.source))
            .bind(QStringLiteral("Body"), QString::fromUtf8(r.body));
        insert.exec();
    }
    dm.commit();

    NoDesktop opener;
    TfmMain window(dm, opener);
    window.selectFolder(1);
    window.selectFolder(0); // the new rows
    window.messageTree().widget()->expandAll();
    window.show();
    if (ArticleItem *answer = window.FindArticleNode(2))
        window.messageTree().widget()->setCurrentItem(answer);
    QTimer::singleShot(500, &app, [&] {
        const bool saved = window.grab().save(out);
        std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(out));
        QCoreApplication::exit(saved ? 0 : 1);
    });
    const int code = QApplication::exec();
    window.close();
    dm.close();
    return code;
}
