// The main window with the Inbox open on a question thread: the user's
// question, two answers, an answer to one of them and the user's reply to the
// other, and a few threads more.

#include "screenshots.h"
#include "shell/articleitem.h"
#include "shell/desktopopener.h"
#include "shell/main.h"
#include "shell/messagetree.h"
#include "store/dmod.h"
#include "store/sqlcommand.h"
#include "store/storeschema.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTreeWidget>

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
    const char *newsgroup; // the groups a reply of the user's was posted to
    const char *body;
};

const Row kRows[] = {
    {1, 0, 0, true, "News server for alt.comp.lang.cpp?", "Jane Miller <jane@example.org>", "2024-03-04 09:12:40",
     "alt.comp.lang.cpp,comp.lang.c++", "",
     "Hello all,\r\n\r\nI am looking for a news server that carries alt.comp.lang.cpp. Any hints?\r\n\r\nJane"},
    {2, 1, 0, true, "Re: News server for alt.comp.lang.cpp?", "Tom Baker <tom@example.net>", "2024-03-04 11:40:03",
     "comp.lang.c++", "",
     "Jane Miller wrote:\r\n> I am looking for a news server that carries alt.comp.lang.cpp.\r\n\r\n"
     "Most free servers do. The list at http://www.example.org/servers.html is kept up to date,\r\n"
     "and you can ask the maintainer at mailto:servers@example.org if yours is missing.\r\n\r\n"
     "Regards,\r\nTom"},
    {3, 2, 0, false, "Re: News server for alt.comp.lang.cpp?", "Ann Lee <ann@example.com>", "2024-03-05 08:02:51",
     "comp.lang.c++", "", "Thanks Tom, that list helped me too."},
    {4, 1, 0, true, "Re: News server for alt.comp.lang.cpp?", "Dirk Vos <dirk@example.de>", "2024-03-05 16:30:00",
     "alt.comp.lang.cpp", "", "Try news.example.de, it has the whole hierarchy."},
    {9, 4, 0, true, "Re: News server for alt.comp.lang.cpp?", "Jane Miller <jane@example.org>", "2024-03-05 19:05:12",
     "alt.comp.lang.cpp", "alt.comp.lang.cpp",
     "Dirk Vos wrote:\r\n> Try news.example.de, it has the whole hierarchy.\r\n\r\nIt has. Thank you, Dirk!"},
    {5, 0, 0, true, "Reading a file line by line?", "Jane Miller <jane@example.org>", "2024-03-06 10:00:00",
     "comp.lang.c++", "", "What is the idiomatic way these days?"},
    {6, 5, 0, false, "Re: Reading a file line by line?", "Pat Quinn <pat@example.com>", "2024-03-06 12:15:09",
     "comp.lang.c++", "", "std::getline in a while loop."},
    {7, 0, 0, true, "SOCKS 5 with a news reader?", "Jane Miller <jane@example.org>", "2024-03-07 00:00:00",
     "news.software.readers", "", "Does it work behind a company proxy?"},
};

} // namespace

int shootMainWindow(const QString &out)
{
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("qa.mdb"));
    StoreSchema::create(path);
    Tdm dm(path);
    dm.DataModuleCreate();
    SqlCommand insert(dm.MainConnection(),
                      QStringLiteral("INSERT INTO Article (Code, Parent, Folder, ArticleType, IsRead, Subject, "
                                     "\"From\", SentDate, Source, Newsgroup, Body) VALUES (:Code, :Parent, :Folder, "
                                     ":Type, :IsRead, :Subject, :From, :SentDate, :Source, :Newsgroup, :Body)"));
    for (const Row &r : kRows) {
        insert.bind(QStringLiteral("Code"), r.code)
            .bind(QStringLiteral("Parent"), r.parent)
            .bind(QStringLiteral("Folder"), r.folder)
            .bind(QStringLiteral("Type"), r.parent == 0)
            .bind(QStringLiteral("IsRead"), r.read)
            .bind(QStringLiteral("Subject"), QString::fromUtf8(r.subject))
            .bind(QStringLiteral("From"), QString::fromUtf8(r.from))
            .bind(QStringLiteral("SentDate"),
                  QDateTime::fromString(QLatin1String(r.sent), QStringLiteral("yyyy-MM-dd HH:mm:ss")))
            .bind(QStringLiteral("Source"), QString::fromUtf8(r.source))
            .bind(QStringLiteral("Newsgroup"), QString::fromUtf8(r.newsgroup))
            .bind(QStringLiteral("Body"), QString::fromUtf8(r.body));
        insert.exec();
    }
    dm.commit();

    NoDesktop opener;
    TfmMain window(dm, opener);
    window.selectFolder(1);
    window.selectFolder(0); // the new rows
    window.messageTree().makeAllNodes(); // expandAll opens what is made only
    window.messageTree().widget()->expandAll();
    window.show();
    if (ArticleItem *answer = window.FindArticleNode(2))
        window.messageTree().widget()->setCurrentItem(answer);
    const int code = saveWhenDrawn(window, out);
    window.close();
    dm.close();
    return code;
}
