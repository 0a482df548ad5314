// One classification of the failures a run meets on line: what the run does
// next, and the words its rows and boxes give each kind.

#include "exchange/runfailure.h"
#include "store/storeerror.h"
#include "transport/clienterrors.h"
#include "transport/newsclient.h"

#include <QtTest>

Q_DECLARE_METATYPE(std::exception_ptr)

class tst_RunFailure : public QObject
{
    Q_OBJECT
private slots:
    void classes_data();
    void classes();
};

void tst_RunFailure::classes_data()
{
    QTest::addColumn<std::exception_ptr>("error");
    QTest::addColumn<RunFailure::Next>("whenPosting");
    QTest::addColumn<RunFailure::Next>("whenReading");
    QTest::addColumn<QString>("connectingToPost"); // a posting row's words
    QTest::addColumn<QString>("atServer"); // the same, naming news.example.org:119 where they leave it unnamed
    QTest::addColumn<QString>("reading"); // a retrieval box's words while reading
    QTest::addColumn<bool>("unexpected");

    using N = RunFailure::Next;
    // A socket error's text: its number, then its description.
    const QString refused = QStringLiteral("Socket Error # 111\nConnection refused");
    QTest::newRow("host not reached") << std::make_exception_ptr(SocketError(111, QStringLiteral("Connection refused")))
                                      << N::SkipHost << N::SkipHost << " Connection Error: " + refused
                                      << " Connection Error: News Server news.example.org:119: " + refused
                                      << "Connection Error: " + refused << false;
    QTest::newRow("refused at the greeting (502)")
        << std::make_exception_ptr(ConnectionRefused(502, QStringLiteral("502 no permission"))) << N::SkipHost
        << N::NextServer << QStringLiteral(" Connection Error: Connection explicitly refused by NNTP server.")
        << QStringLiteral(" Connection Error: News Server news.example.org:119: Connection explicitly refused by "
                          "NNTP server.")
        << QStringLiteral("Connection Error: Connection explicitly refused by NNTP server.") << false;
    QTest::newRow("connection dropped") << std::make_exception_ptr(ConnectionClosed()) << N::NextServer << N::NextServer
                                        << QStringLiteral("The server broke off the connection")
                                        << QStringLiteral("The server broke off the connection")
                                        << QStringLiteral("The server broke off the connection") << false;
    QTest::newRow("a command refused") << std::make_exception_ptr(ReplyError(411, QStringLiteral("411 No such group")))
                                       << N::NextServer << N::NextServer << QStringLiteral(" 411 No such group")
                                       << QStringLiteral(" 411 No such group") << QStringLiteral("411 No such group")
                                       << false;
    QTest::newRow("an unexpected client fault")
        << std::make_exception_ptr(ClientError(QStringLiteral("Line too long"))) << N::NextServer << N::NextServer
        << QStringLiteral(" Line too long") << QStringLiteral(" Line too long") << QStringLiteral("Line too long")
        << true;
    QTest::newRow("the store failed") << std::make_exception_ptr(StoreError(QStringLiteral("disk I/O error")))
                                      << N::EndRun << N::EndRun << QStringLiteral(" disk I/O error")
                                      << QStringLiteral(" disk I/O error") << QStringLiteral("disk I/O error") << false;
}

void tst_RunFailure::classes()
{
    QFETCH(std::exception_ptr, error);
    QFETCH(RunFailure::Next, whenPosting);
    QFETCH(RunFailure::Next, whenReading);
    QFETCH(QString, connectingToPost);
    QFETCH(QString, atServer);
    QFETCH(QString, reading);
    QFETCH(bool, unexpected);

    const RunFailure failure = RunFailure::of(error);
    QCOMPARE(failure.next(RunFailure::Purpose::Posting), whenPosting);
    QCOMPARE(failure.next(RunFailure::Purpose::Reading), whenReading);
    QCOMPARE(failure.words(RunFailure::Stage::Connecting, RunFailure::Purpose::Posting), connectingToPost);
    QCOMPARE(failure.words(RunFailure::Stage::Working), reading);
    NewsClientSettings server;
    server.Host = QStringLiteral("news.example.org");
    QCOMPARE(failure.wordsAt(server, RunFailure::Stage::Connecting, RunFailure::Purpose::Posting), atServer);
    QCOMPARE(failure.unexpected(), unexpected);
}

QTEST_GUILESS_MAIN(tst_RunFailure)
#include "tst_runfailure.moc"
