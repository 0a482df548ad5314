// The message object: clearing, the posted text as NewsClient takes it, and
// fetched bodies.

#include "transport/nntpmessage.h"

#include <QTest>

class tst_NntpMessage : public QObject
{
    Q_OBJECT

private slots:
    void clearKeepsOnlyTheMessageId();
    void fetchedText_data();
    void fetchedText();
    void clearDropsTheFetchedBody();
    void postLinesUseTheTimeOfSending();
};

void tst_NntpMessage::clearKeepsOnlyTheMessageId()
{
    NntpMessage m;
    m.subject = QStringLiteral("s");
    m.body = {QStringLiteral("b")};
    m.date = QDateTime::currentDateTime();
    m.from = {QStringLiteral("n"), QStringLiteral("a@x")};
    m.organization = QStringLiteral("o");
    m.newsGroups = {QStringLiteral("g")};
    m.references = QStringLiteral("<r@x>");
    m.msgId = QStringLiteral("<m@x>");
    m.extraHeaders = {QStringLiteral("X-A: 1")};
    m.priority = NntpMessage::Priority::Lowest;
    m.contentType = QStringLiteral("text/plain");
    m.charSet = QStringLiteral("UTF-8");
    m.contentTransferEncoding = QStringLiteral("8bit");
    m.setFetchedBody({"line"});

    m.clear();
    QVERIFY(m.subject.isEmpty());
    QVERIFY(m.body.isEmpty());
    QVERIFY(!m.date.isValid());
    QVERIFY(m.from.name.isEmpty() && m.from.address.isEmpty());
    QVERIFY(m.organization.isEmpty());
    QVERIFY(m.newsGroups.isEmpty());
    QVERIFY(m.references.isEmpty());
    QVERIFY(m.extraHeaders.isEmpty());
    QCOMPARE(m.priority, NntpMessage::Priority::Normal);
    QVERIFY(m.contentType.isEmpty() && m.charSet.isEmpty() && m.contentTransferEncoding.isEmpty());
    QCOMPARE(m.partCount(), 0);
    QCOMPARE(m.msgId, QStringLiteral("<m@x>"));
}

void tst_NntpMessage::fetchedText_data()
{
    QTest::addColumn<QList<QByteArray>>("lines");
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("every line ended, the last included")
        << QList<QByteArray>{"Hello", "", "bye"} << QByteArray("Hello\r\n\r\nbye\r\n");
    QTest::newRow("one empty line") << QList<QByteArray>{""} << QByteArray("\r\n");
    QTest::newRow("no lines") << QList<QByteArray>{} << QByteArray();
    QTest::newRow("MIME structure kept as received")
        << QList<QByteArray>{"--b1", "Content-Type: text/plain", "", "Gr=FC=DFe", "--b1--"}
        << QByteArray("--b1\r\nContent-Type: text/plain\r\n\r\nGr=FC=DFe\r\n--b1--\r\n");
    QTest::newRow("8-bit bytes kept as received")
        << QList<QByteArray>{"\xe9t\xe9", "\xc3\xa9t\xc3\xa9"} << QByteArray("\xe9t\xe9\r\n\xc3\xa9t\xc3\xa9\r\n");
}

void tst_NntpMessage::fetchedText()
{
    QFETCH(QList<QByteArray>, lines);
    QFETCH(QByteArray, text);
    NntpMessage m;
    m.clear();
    m.setFetchedBody(lines);
    QCOMPARE(m.partCount(), 1);
    QCOMPARE(m.fetchedText(), text);
}

void tst_NntpMessage::clearDropsTheFetchedBody()
{
    NntpMessage m;
    m.setFetchedBody({"first answer"});
    m.clear();
    QCOMPARE(m.fetchedText(), QByteArray());
    m.setFetchedBody({"second"});
    QCOMPARE(m.fetchedText(), QByteArray("second\r\n"));
}

void tst_NntpMessage::postLinesUseTheTimeOfSending()
{
    NntpMessage m;
    m.msgId = QStringLiteral("<m@x>");
    m.from = {QString(), QStringLiteral("a@example.org")};
    m.subject = QStringLiteral("s");
    m.newsGroups = {QStringLiteral("quorbic.test")};
    m.body = {QStringLiteral(".x")};

    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-1);
    const QList<QByteArray> lines = m.postLines(QStringLiteral("Quorbic 1.0"));
    const QDateTime after = QDateTime::currentDateTimeUtc().addSecs(1);

    QCOMPARE(lines.first(), QByteArray("Message-ID: <m@x>"));
    QCOMPARE(lines.at(1), QByteArray("From: a@example.org"));
    QCOMPARE(lines.last(), QByteArray("..x"));
    QVERIFY(lines.contains("X-Newsreader: Quorbic 1.0"));
    QByteArray date;
    for (const QByteArray &line : lines) {
        if (line.startsWith("Date: "))
            date = line.mid(6);
    }
    const QDateTime sent = QDateTime::fromString(QString::fromLatin1(date), Qt::RFC2822Date);
    QVERIFY2(sent.isValid(), date.constData());
    QVERIFY2(sent >= before && sent <= after, date.constData());
}

QTEST_GUILESS_MAIN(tst_NntpMessage)
#include "tst_nntpmessage.moc"
