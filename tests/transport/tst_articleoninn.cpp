// Composed articles posted to a real INN and read back as the answer scan
// reads them: INN must accept the text, and its overview line and body must
// give back what was posted.

#include "tests/support/innserver.h"
#include "tests/support/nntpprobe.h"
#include "transport/articlecharsets.h"
#include "transport/articlecomposer.h"
#include "transport/nntpmessage.h"
#include "transport/overview.h"

#include <QLocale>
#include <QStringDecoder>
#include <QTest>
#include <QTimeZone>

#include <memory>

namespace {

const QString group = QStringLiteral("quorbic.test");

// The article as the probe takes it: the probe stuffs dots itself, so ours
// are undone first; everything else goes byte for byte.
QByteArray probeText(const QList<QByteArray> &lines)
{
    const qsizetype blank = lines.indexOf(QByteArray());
    QByteArray text;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray &line = lines.at(i);
        text += (i > blank && line.startsWith('.')) ? line.mid(1) : line;
        text += "\r\n";
    }
    return text;
}

QByteArray headerValue(const QList<QByteArray> &lines, const QByteArray &name)
{
    QByteArray value;
    bool inside = false;
    for (const QByteArray &line : lines) {
        if (line.isEmpty())
            break;
        if (line.startsWith(name + ": ")) {
            value = line.mid(name.size() + 2);
            inside = true;
        } else if (inside && line.startsWith(' ')) {
            value += line;
        } else {
            inside = false;
        }
    }
    return value;
}

} // namespace

class tst_ArticleOnInn : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void postAndReadBack_data();
    void postAndReadBack();

private:
    std::unique_ptr<InnServer> m_server;
    int m_posted = 0;
};

void tst_ArticleOnInn::initTestCase()
{
    m_server = std::make_unique<InnServer>();
    QVERIFY2(m_server->start(), qPrintable(m_server->errorString()));
}

void tst_ArticleOnInn::cleanupTestCase()
{
    m_server.reset();
}

void tst_ArticleOnInn::postAndReadBack_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("references");
    QTest::addColumn<QStringList>("body");
    QTest::addColumn<QByteArray>("bodyCharset");

    QStringList refs;
    for (int i = 0; i < 6; ++i)
        refs << QStringLiteral("<%1.ABCD.EF01@2345.6789ABCDEF01>").arg(i, 8, 10, QLatin1Char('0'));

    QTest::newRow("ASCII question with dot lines")
        << "en_US"
        << "John Smith"
        << "How do I post?"
        << ""
        << QStringList{QStringLiteral("Hello"), QStringLiteral("."), QStringLiteral(".hidden"), QString(),
                       QStringLiteral("bye")}
        << QByteArray("UTF-8");
    QTest::newRow("reply with folded References and a long non-ASCII subject")
        << "de_DE" << QString::fromUtf8("Jörg Müller")
        << QString::fromUtf8("Re: Как настроить сервер новостей, чтобы он принимал "
                             "длинные заголовки? Grüße")
        << refs.join(QLatin1Char(' ')) << QStringList{QString::fromUtf8("Grüße aus Köln"), QStringLiteral("..two dots")}
        << QByteArray("UTF-8");
    QTest::newRow("Japanese system") << "ja_JP" << QString::fromUtf8("山田太郎") << QString::fromUtf8("質問があります")
                                     << "" << QStringList{QString::fromUtf8("日本語の本文です。")}
                                     << QByteArray("ISO-2022-JP");
}

void tst_ArticleOnInn::postAndReadBack()
{
    QFETCH(QString, locale);
    QFETCH(QString, name);
    QFETCH(QString, subject);
    QFETCH(QString, references);
    QFETCH(QStringList, body);
    QFETCH(QByteArray, bodyCharset);

    NntpMessage m;
    m.msgId = QStringLiteral("<roundtrip%1@quorbic.test>").arg(++m_posted);
    m.from = {name, QStringLiteral("user@example.org")};
    m.subject = subject;
    m.organization = QStringLiteral("Quorbic Tests");
    m.newsGroups = {group};
    m.references = references;
    m.date = QDateTime(QDate(2024, 3, 31), QTime(1, 59, 30), QTimeZone("Europe/Berlin"));
    m.body = body;
    const QList<QByteArray> lines
        = ArticleComposer(ArticleCharsets::forLocale(QLocale(locale))).compose(m, QStringLiteral("Quorbic 1.0"), {});

    const QByteArray status = m_server->post(probeText(lines));
    QVERIFY2(status.startsWith("240"), status.constData());

    // The overview line, as retrieval reads it.
    NntpProbe probe;
    QVERIFY2(probe.open(m_server->host(), m_server->port()), qPrintable(probe.errorString()));
    QVERIFY(probe.command("MODE READER").startsWith("20"));
    QVERIFY(probe.command("GROUP " + group.toLatin1()).startsWith("211"));
    const QByteArray xover = probe.command("XOVER 1-");
    QVERIFY2(xover.startsWith("224"), xover.constData());
    QByteArray overviewText;
    QVERIFY(probe.readText(&overviewText));
    OverviewLine found;
    for (QByteArray line : overviewText.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        const OverviewLine parsed = ParseOverviewLine(line);
        if (parsed.messageId == m.msgId)
            found = parsed;
    }
    QVERIFY2(found.articleNumber > 0, overviewText.constData());
    QCOMPARE(found.subject.toLatin1(), headerValue(lines, "Subject"));
    QCOMPARE(found.from.toLatin1(), headerValue(lines, "From"));
    QCOMPARE(found.references, references);
    QCOMPARE(found.date, QDateTime(QDate(2024, 3, 31), QTime(1, 59, 30)));
    QCOMPARE(found.lineCount, quint32(body.size()));

    // The body, fetched by number as retrieval fetches it.
    QVERIFY(probe.command("BODY " + QByteArray::number(found.articleNumber)).startsWith("222"));
    QByteArray bodyText;
    QVERIFY(probe.readText(&bodyText));
    QList<QByteArray> received = bodyText.split('\n');
    received.removeLast(); // after the last CR LF
    for (QByteArray &line : received)
        line.chop(1);
    NntpMessage fetched;
    fetched.clear();
    fetched.setFetchedBody(received);
    QCOMPARE(fetched.fetchedText(), bodyText);
    QStringDecoder decoder(bodyCharset.constData());
    QCOMPARE(decoder.decode(fetched.fetchedText()), body.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

QTEST_GUILESS_MAIN(tst_ArticleOnInn)
#include "tst_articleoninn.moc"
