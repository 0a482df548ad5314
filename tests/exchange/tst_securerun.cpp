// A run over TLS: the status text says the connection is encrypted, and a
// certificate that fails verification is put to the user once per host and
// run; No keeps the run from posting anything there.

#include "exchange/postingrun.h"
#include "exchange/newsaccess.h"
#include "store/dmod.h"
#include "tests/exchange/exchangetesting.h"
#include "tests/support/fakenewsserver.h"
#include "tests/support/scratchstore.h"
#include "tests/support/testcertificates.h"
#include "transport/newsclient.h"

#include <QtTest>

#include <memory>

namespace {

// Records the questions and answers them No.
class DecliningUi : public RecordingUi
{
public:
    bool ask(const QString &title, const QString &text) override
    {
        questions << title + QStringLiteral(" | ") + text;
        return false;
    }
    QStringList questions;
};

} // namespace

class tst_SecureRun : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void postsOverTls_data();
    void postsOverTls();

private:
    TestCertificates m_certificates;
};

void tst_SecureRun::initTestCase()
{
    QVERIFY2(m_certificates.create(), qPrintable(m_certificates.errorString()));
}

void tst_SecureRun::postsOverTls_data()
{
    QTest::addColumn<QStringList>("names"); // the server certificate's names
    QTest::addColumn<QString>("script"); // one connection, played for each group
    QTest::addColumn<QString>("box"); // the first box, "title | text"
    QTest::addColumn<int>("questions");

    QTest::newRow("trusted, read-only server")
        << QStringList{QStringLiteral("IP:127.0.0.1")}
        << QStringLiteral("* tls\nS: 201 read only\nC: mode reader\nS: 201 read only\nC: Quit")
        << QStringLiteral("News Server 127.0.0.1 |  Connected successfully. You only have read-only "
                          "access. No posting is permitted. (encrypted)")
        << 0;
    QTest::newRow("certificate for another name, answered No")
        << QStringList{QStringLiteral("DNS:other.invalid")} << QStringLiteral("* tls\nS: 200 hi\n* closed") << QString()
        << 1;
}

void tst_SecureRun::postsOverTls()
{
    QFETCH(QStringList, names);
    QFETCH(QString, script);
    QFETCH(QString, box);
    QFETCH(int, questions);

    const TestCertificates::Issued issued = m_certificates.issue(QStringLiteral("news.test"), names);
    QVERIFY2(!issued.isNull(), qPrintable(m_certificates.errorString()));
    FakeNewsServer server;
    server.setTlsCertificate(issued.certificatePem, issued.keyPem);
    server.addScript(script);
    server.addScript(script);

    ScratchStore store;
    store.exec(
        fill::server(1, server.host(), server.port())
        + fill::account(1, QStringLiteral("Ann"), QStringLiteral("ann@test.invalid"), QString())
        + fill::group(1, QStringLiteral("a.grp")) + fill::group(2, QStringLiteral("b.grp")) + fill::carries(1, 1)
        + fill::carries(1, 2)
        + fill::reply(5, 1, 0, QStringLiteral("a.grp,b.grp"), QStringLiteral("Re: X"), QStringLiteral("Body"), 1));
    Tdm dm(store.path());
    dm.DataModuleCreate();
    NewsClientSettings settings = NewsAccess::of(dm).client().settings();
    settings.tls = TlsUse::Implicit;
    settings.extraCaCertificates = m_certificates.caPem();
    NewsAccess::of(dm).client().setSettings(settings);

    DecliningUi ui;
    RecordingPostingView view;
    RecordingFolders folders(1);
    PostingRun run(dm, ui, view, folders);
    run.setDialUpCheck([] { return true; });
    QCOMPARE(run.FormActivate(), PostingRun::Outcome::Finished);
    QVERIFY2(server.waitForScripts(), qPrintable(server.failure()));

    // Asked once for the host, though both groups were tried on it.
    QCOMPARE(ui.questions.size(), questions);
    for (const QString &question : std::as_const(ui.questions)) {
        QVERIFY2(question.startsWith(QStringLiteral("Warning | The certificate of 127.0.0.1 cannot be trusted: ")),
                 qPrintable(question));
        QVERIFY2(question.endsWith(QStringLiteral(". Connect anyway?")), qPrintable(question));
    }
    if (!box.isEmpty())
        QCOMPARE(ui.boxTexts().value(0), box);
    // Nothing was posted; the message waits in the Outbox.
    QCOMPARE(store.rows(QStringLiteral("SELECT count(*) FROM SentArticles")), QStringList{"0"});
    QCOMPARE(store.rows(QStringLiteral("SELECT Folder FROM Article WHERE Code=5")), QStringList{"1"});
}

QTEST_GUILESS_MAIN(tst_SecureRun)
#include "tst_securerun.moc"
