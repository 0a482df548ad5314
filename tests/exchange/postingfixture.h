#pragma once
// The posting run on a scratch store whose server 1 is the scripted fake news
// server, with an account and fixed Message-IDs and date, and the copies the
// scripts expect.

#include "exchange/postingrun.h"
#include "store/dmod.h"
#include "tests/exchange/exchangetesting.h"
#include "tests/support/fakenewsserver.h"
#include "tests/support/scratchstore.h"

#include <memory>

namespace PostingFixture {

inline const QDateTime kDate(QDate(2024, 3, 5), QTime(14, 3, 0));
inline const QString kUser = QStringLiteral("Ann Asker");
inline const QString kAddress = QStringLiteral("ann@test.invalid");
inline const QString kOrganization = QStringLiteral("Quorbic Tests");
inline constexpr int kFakePort = 65999;

inline QString messageId(int n)
{
    return QStringLiteral("<m%1@test.invalid>").arg(n);
}

// The copy the run sends of reply or question `subject`/`body` to group as its n-th Message-ID.
inline NntpMessage copy(const QString &subject, const QString &body, const QString &group, int n,
                        const QString &references = {})
{
    return postedArticle(subject, body, kDate, kUser, kAddress, kOrganization, group, references, messageId(n));
}

// A store with the fake server as server 1 and an account; the run on it.
struct Posting
{
    // kFakePort in sql stands for the fake server's port.
    explicit Posting(QString sql, int folder = 1, StoreSchema::Tables tables = StoreSchema::Tables::All)
        : store(tables)
        , folders(folder)
    {
        sql.replace(QString::number(kFakePort), QString::number(server.port()));
        store.exec(fill::server(1, server.host(), server.port()) + fill::account(1, kUser, kAddress, kOrganization)
                   + sql);
        dm = std::make_unique<Tdm>(store.path());
        dm->DataModuleCreate();
        run = std::make_unique<PostingRun>(*dm, ui, view, folders);
        run->setDialUpCheck([] { return true; });
        run->setMessageIdSource([this] { return messageId(++ids); });
        run->setClock([] { return kDate; });
    }

    QStringList rows(const QString &query) const { return store.rows(query); }

    FakeNewsServer server;
    ScratchStore store;
    std::unique_ptr<Tdm> dm;
    RecordingUi ui;
    RecordingPostingView view;
    RecordingFolders folders;
    std::unique_ptr<PostingRun> run;
    int ids = 0;
};

} // namespace PostingFixture

using namespace PostingFixture;
