// The text of posted articles.

#include "transport/articlecharsets.h"
#include "transport/articlecomposer.h"
#include "transport/clienterrors.h"
#include "transport/nntpmessage.h"

#include <QLocale>
#include <QStringDecoder>
#include <QTest>
#include <QTimeZone>

namespace {

const QString newsAgent = QStringLiteral("Quorbic 1.0");

ArticleCharsets charsetsOf(const char *locale)
{
    return ArticleCharsets::forLocale(QLocale(QString::fromLatin1(locale)));
}

QDateTime berlin(int y, int mo, int d, int h, int mi, int s)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), QTimeZone("Europe/Berlin"));
}

// A question as the posting run fills it for one copy.
NntpMessage question()
{
    NntpMessage m;
    m.msgId = QStringLiteral("<0A1B2C3D.4E5F.6071@8293.A4B5C6D7E8F9>");
    m.from = {QStringLiteral("John Smith"), QStringLiteral("john@example.com")};
    m.subject = QStringLiteral("How do I fold?");
    m.newsGroups = {QStringLiteral("quorbic.test")};
    m.organization = QStringLiteral("Example Org");
    m.date = berlin(2024, 1, 15, 10, 20, 30);
    m.body = {QStringLiteral("Hello"), QStringLiteral(".hidden"), QStringLiteral("..two"), QString(),
              QStringLiteral("bye.")};
    return m;
}

QList<QByteArray> compose(const NntpMessage &m, const char *locale = "en_US")
{
    return ArticleComposer(charsetsOf(locale)).compose(m, newsAgent, berlin(2030, 6, 1, 12, 0, 0));
}

QList<QByteArray> headerLines(const QList<QByteArray> &article)
{
    return article.mid(0, article.indexOf(QByteArray()));
}

QList<QByteArray> bodyLines(const QList<QByteArray> &article)
{
    return article.mid(article.indexOf(QByteArray()) + 1);
}

QByteArray header(const QList<QByteArray> &article, const QByteArray &name)
{
    for (const QByteArray &line : headerLines(article)) {
        if (line.startsWith(name + ": "))
            return line.mid(name.size() + 2);
    }
    return QByteArray("<none>");
}

QList<QByteArray> headerNames(const QList<QByteArray> &article)
{
    QList<QByteArray> names;
    for (const QByteArray &line : headerLines(article)) {
        if (!line.startsWith(' '))
            names.append(line.left(line.indexOf(':')));
    }
    return names;
}

} // namespace

class tst_ArticleComposer : public QObject
{
    Q_OBJECT

private slots:
    void asciiQuestionExactly();
    void emptyHeadersLeftOut_data();
    void emptyHeadersLeftOut();
    void headerOrderWithEverythingSet();
    void lineBreaksInHeaderValuesCannotStartHeaders_data();
    void lineBreaksInHeaderValuesCannotStartHeaders();
    void mimeDeclaration_data();
    void mimeDeclaration();
    void mimeDeclaredForEightBitInAnyHeader_data();
    void mimeDeclaredForEightBitInAnyHeader();
    void groupNamesChecked_data();
    void groupNamesChecked();
    void dotStuffedOnceInEveryCopy();
    void bodyEntriesWithLineBreaks();
    void lineBreaksNextToLoneSurrogates_data();
    void lineBreaksNextToLoneSurrogates();
    void dateOfSendingWhenNoDate();
    void longHeadersFolded();
    void accentedSubjectWordOnWesternSystem();
};

void tst_ArticleComposer::asciiQuestionExactly()
{
    const QList<QByteArray> expected{
        "Message-ID: <0A1B2C3D.4E5F.6071@8293.A4B5C6D7E8F9>",
        "From: \"John Smith\" <john@example.com>",
        "Subject: How do I fold?",
        "Newsgroups: quorbic.test",
        "Organization: Example Org",
        "Date: Mon, 15 Jan 2024 10:20:30 +0100",
        "X-Priority: 3",
        "X-Library: Quorbic NNTP 1.0",
        "Lines: 5",
        "X-Newsreader: Quorbic 1.0",
        "",
        "Hello",
        "..hidden",
        "...two",
        "",
        "bye.",
    };
    QCOMPARE(compose(question()), expected);
}

void tst_ArticleComposer::emptyHeadersLeftOut_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("organization");
    QTest::addColumn<QString>("references");
    QTest::addColumn<QList<QByteArray>>("names");

    const QList<QByteArray> full{"Message-ID", "From",       "Subject",   "Newsgroups", "Organization", "References",
                                 "Date",       "X-Priority", "X-Library", "Lines",      "X-Newsreader"};
    auto without = [&full](QList<QByteArray> gone) {
        QList<QByteArray> names = full;
        for (const QByteArray &n : gone)
            names.removeAll(n);
        return names;
    };
    QTest::newRow("reply: References between Organization and Date") << "A"
                                                                     << "a@x"
                                                                     << "Org"
                                                                     << "<q@x> <a@y>" << full;
    QTest::newRow("question: no References line") << "A"
                                                  << "a@x"
                                                  << "Org"
                                                  << "" << without({"References"});
    QTest::newRow("no organization") << "A"
                                     << "a@x"
                                     << ""
                                     << "<q@x>" << without({"Organization"});
    QTest::newRow("blanks only count as empty") << "A"
                                                << "a@x"
                                                << "   "
                                                << " \r\n " << without({"Organization", "References"});
    QTest::newRow("account gone: no From line") << ""
                                                << ""
                                                << "Org"
                                                << "" << without({"From", "References"});
}

void tst_ArticleComposer::emptyHeadersLeftOut()
{
    QFETCH(QString, name);
    QFETCH(QString, address);
    QFETCH(QString, organization);
    QFETCH(QString, references);
    QFETCH(QList<QByteArray>, names);

    NntpMessage m = question();
    m.from = {name, address};
    m.organization = organization;
    m.references = references;
    const QList<QByteArray> article = compose(m);
    QCOMPARE(headerNames(article), names);
    for (const QByteArray &line : headerLines(article))
        QVERIFY2(!line.endsWith(": ") && !line.endsWith(':'), line.constData());
    if (!references.trimmed().isEmpty())
        QCOMPARE(header(article, "References"), references.toLatin1());
}

void tst_ArticleComposer::headerOrderWithEverythingSet()
{
    NntpMessage m = question();
    m.subject = QString::fromUtf8("Grüße");
    m.references = QStringLiteral("<q@x>");
    m.priority = NntpMessage::Priority::Highest;
    m.extraHeaders = {QStringLiteral("X-Extra: one"), QStringLiteral("X-Face: two")};
    const QList<QByteArray> article = compose(m);
    const QList<QByteArray> expected{"Message-ID",
                                     "From",
                                     "Subject",
                                     "Newsgroups",
                                     "MIME-Version",
                                     "Content-Type",
                                     "Content-Transfer-Encoding",
                                     "Organization",
                                     "References",
                                     "Date",
                                     "X-Priority",
                                     "X-Library",
                                     "Lines",
                                     "X-Newsreader",
                                     "X-Extra",
                                     "X-Face"};
    QCOMPARE(headerNames(article), expected);
    QCOMPARE(header(article, "X-Priority"), QByteArray("1"));
}

void tst_ArticleComposer::lineBreaksInHeaderValuesCannotStartHeaders_data()
{
    QTest::addColumn<QString>("field");
    QTest::newRow("subject") << "subject";
    QTest::newRow("organization") << "organization";
    QTest::newRow("from name") << "name";
    QTest::newRow("references") << "references";
}

void tst_ArticleComposer::lineBreaksInHeaderValuesCannotStartHeaders()
{
    QFETCH(QString, field);
    const QString evil = QStringLiteral("x\r\nNewsgroups: alt.evil\nControl: cancel <q@x>\r");
    NntpMessage m = question();
    if (field == QLatin1String("subject"))
        m.subject = evil;
    else if (field == QLatin1String("organization"))
        m.organization = evil;
    else if (field == QLatin1String("name"))
        m.from.name = evil;
    else
        m.references = evil;

    const QList<QByteArray> article = compose(m);
    const QList<QByteArray> names = headerNames(article);
    QCOMPARE(names.count("Newsgroups"), 1);
    QCOMPARE(names.count("Control"), 0);
    QCOMPARE(header(article, "Newsgroups"), QByteArray("quorbic.test"));
    for (const QByteArray &line : article)
        QVERIFY2(!line.contains('\r') && !line.contains('\n'), line.constData());
    QVERIFY(article.join(' ').contains("x  Newsgroups: alt.evil Control: cancel <q@x>"));
}

void tst_ArticleComposer::mimeDeclaration_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("bodyLine");
    QTest::addColumn<QByteArray>("contentType"); // "<none>": no MIME headers at all
    QTest::addColumn<QByteArray>("transferEncoding");
    QTest::addColumn<QByteArray>("bodyCharset");

    QTest::newRow("pure ASCII: no MIME headers")
        << "de_DE"
        << "plain"
        << "plain body" << QByteArray("<none>") << QByteArray("<none>") << QByteArray("US-ASCII");
    QTest::newRow("accented body in UTF-8, 8bit")
        << "de_DE"
        << "plain" << QString::fromUtf8("Grüße, Jörg") << QByteArray("text/plain; charset=UTF-8") << QByteArray("8bit")
        << QByteArray("UTF-8");
    QTest::newRow("accented subject only: declared, body is 7bit")
        << "de_DE" << QString::fromUtf8("Grüße") << "plain body" << QByteArray("text/plain; charset=UTF-8")
        << QByteArray("7bit") << QByteArray("UTF-8");
    QTest::newRow("Japanese system: body in ISO-2022-JP")
        << "ja_JP" << QString::fromUtf8("質問") << QString::fromUtf8("日本語の本文です")
        << QByteArray("text/plain; charset=ISO-2022-JP") << QByteArray("7bit") << QByteArray("ISO-2022-JP");
    QTest::newRow("Japanese system, body ISO-2022-JP cannot hold: UTF-8")
        << "ja_JP"
        << "plain" << QString::fromUtf8("日本語 and Ελληνικά") << QByteArray("text/plain; charset=UTF-8")
        << QByteArray("8bit") << QByteArray("UTF-8");
    QTest::newRow("Chinese system: body in the system's UTF-8")
        << "zh_CN"
        << "plain" << QString::fromUtf8("你好") << QByteArray("text/plain; charset=UTF-8") << QByteArray("8bit")
        << QByteArray("UTF-8");
}

void tst_ArticleComposer::mimeDeclaration()
{
    QFETCH(QString, locale);
    QFETCH(QString, subject);
    QFETCH(QString, bodyLine);
    QFETCH(QByteArray, contentType);
    QFETCH(QByteArray, transferEncoding);
    QFETCH(QByteArray, bodyCharset);

    NntpMessage m = question();
    m.subject = subject;
    m.body = {bodyLine, QStringLiteral(".dot")};
    const QList<QByteArray> article = compose(m, locale.toLatin1().constData());

    QCOMPARE(header(article, "Content-Type"), contentType);
    QCOMPARE(header(article, "Content-Transfer-Encoding"), transferEncoding);
    QCOMPARE(header(article, "MIME-Version"), contentType == "<none>" ? QByteArray("<none>") : QByteArray("1.0"));
    for (const QByteArray &line : headerLines(article)) {
        for (char c : line)
            QVERIFY2(uchar(c) < 128, line.constData()); // headers are always 7-bit
    }
    const QList<QByteArray> body = bodyLines(article);
    QCOMPARE(body.size(), 2);
    QCOMPARE(body.at(1), QByteArray("..dot"));
    QStringDecoder decoder(bodyCharset == "US-ASCII" ? "UTF-8" : bodyCharset.constData());
    QCOMPARE(decoder.decode(body.at(0)), bodyLine);
    QVERIFY(!decoder.hasError());
    if (bodyCharset == "ISO-2022-JP")
        QVERIFY(body.at(0).endsWith("\x1b(B"));
}

void tst_ArticleComposer::mimeDeclaredForEightBitInAnyHeader_data()
{
    QTest::addColumn<QString>("field");
    QTest::newRow("fuzz: 8-bit Message-ID went out undeclared") << "msgId";
    QTest::newRow("references") << "references";
    QTest::newRow("extra header") << "extra";
    QTest::newRow("address") << "address";
}

// Header values that are not encoded go out as UTF-8; any 8-bit byte in the
// article needs the MIME declaration.
void tst_ArticleComposer::mimeDeclaredForEightBitInAnyHeader()
{
    QFETCH(QString, field);
    const QString eightBit = QString::fromUtf8("<r\xc3\xa9@x>");
    NntpMessage m = question();
    if (field == QLatin1String("msgId"))
        m.msgId = eightBit;
    else if (field == QLatin1String("references"))
        m.references = eightBit;
    else if (field == QLatin1String("extra"))
        m.extraHeaders = {QStringLiteral("X-Note: ") + eightBit};
    else
        m.from.address = eightBit;

    const QList<QByteArray> article = compose(m);
    QVERIFY(article.join('\n').contains(eightBit.toUtf8()));
    QCOMPARE(header(article, "MIME-Version"), QByteArray("1.0"));
    QCOMPARE(header(article, "Content-Type"), QByteArray("text/plain; charset=UTF-8"));
    QCOMPARE(header(article, "Content-Transfer-Encoding"), QByteArray("7bit"));
}

// Newsgroups and Followup-To hold only valid newsgroup names: a name taken
// from a server's list as it is must not add a group or a header.
void tst_ArticleComposer::groupNamesChecked_data()
{
    QTest::addColumn<QStringList>("groups");
    QTest::addColumn<QString>("followupTo"); // empty: no Followup-To
    QTest::addColumn<QByteArray>("sent"); // the Newsgroups value; empty: refused

    QTest::newRow("one group") << QStringList{"comp.lang.c"} << QString() << QByteArray("comp.lang.c");
    QTest::newRow("two groups") << QStringList{"comp.lang.c", "comp.std.c"} << QString()
                                << QByteArray("comp.lang.c,comp.std.c");
    QTest::newRow("Followup-To a group") << QStringList{"comp.lang.c"} << "Followup-To: comp.std.c"
                                         << QByteArray("comp.lang.c");
    QTest::newRow("Followup-To poster") << QStringList{"comp.lang.c"} << "Followup-To: poster"
                                        << QByteArray("comp.lang.c");
    QTest::newRow("comma in a name") << QStringList{"sci.physics,alt.injected"} << QString() << QByteArray();
    QTest::newRow("blank in a name") << QStringList{"sci.physics alt.injected"} << QString() << QByteArray();
    QTest::newRow("NUL in a name") << QStringList{QString::fromLatin1("sci.phys\0ics", 12)} << QString()
                                   << QByteArray();
    QTest::newRow("line break in a name") << QStringList{"sci.physics\r\nApproved: yes"} << QString() << QByteArray();
    QTest::newRow("8-bit name") << QStringList{QString::fromUtf8("sci.\xc3\xa9migr\xc3\xa9")} << QString()
                                << QByteArray();
    QTest::newRow("leading dot") << QStringList{".sci.physics"} << QString() << QByteArray();
    QTest::newRow("trailing dot") << QStringList{"sci.physics."} << QString() << QByteArray();
    QTest::newRow("empty name") << QStringList{QString()} << QString() << QByteArray();
    QTest::newRow("498 octets") << QStringList{QString(498, QLatin1Char('a'))} << QString() << QByteArray();
    QTest::newRow("497 octets") << QStringList{QString(497, QLatin1Char('a'))} << QString() << QByteArray(497, 'a');
    QTest::newRow("Followup-To with a comma smuggled in a name")
        << QStringList{"comp.lang.c"} << "Followup-To: comp.std.c,,alt.injected" << QByteArray();
    QTest::newRow("Followup-To with a blank name")
        << QStringList{"comp.lang.c"} << "followup-to: comp.std.c, alt injected" << QByteArray();
}

void tst_ArticleComposer::groupNamesChecked()
{
    QFETCH(QStringList, groups);
    QFETCH(QString, followupTo);
    QFETCH(QByteArray, sent);
    NntpMessage m = question();
    m.newsGroups = groups;
    if (!followupTo.isEmpty())
        m.extraHeaders = {followupTo};
    QList<QByteArray> article;
    bool refused = false;
    try {
        article = compose(m);
    } catch (const ClientError &) {
        refused = true;
    }
    QCOMPARE(refused, sent.isEmpty());
    if (!refused)
        QCOMPARE(header(article, "Newsgroups"), sent);
}

void tst_ArticleComposer::dotStuffedOnceInEveryCopy()
{
    NntpMessage m = question();
    m.body = {QStringLiteral(".one"), QStringLiteral("..two"), QStringLiteral(" .not")};
    QList<QByteArray> copies;
    for (const char *group : {"a.one", "b.two", "c.three"}) {
        m.newsGroups = {QString::fromLatin1(group)};
        const QList<QByteArray> body = bodyLines(compose(m));
        QCOMPARE(body, (QList<QByteArray>{"..one", "...two", " .not"}));
    }
    QCOMPARE(m.body, (QStringList{QStringLiteral(".one"), QStringLiteral("..two"), QStringLiteral(" .not")}));
}

void tst_ArticleComposer::bodyEntriesWithLineBreaks()
{
    NntpMessage m = question();
    m.setBodyText(QStringLiteral("one\r\ntwo\nthree\rfour\r\n\r\nsix\r\n"));
    QCOMPARE(m.body.size(), 6);
    m.body.append(QStringLiteral("seven\neight"));
    const QList<QByteArray> article = compose(m);
    QCOMPARE(bodyLines(article), (QList<QByteArray>{"one", "two", "three", "four", "", "six", "seven", "eight"}));
    QCOMPARE(header(article, "Lines"), QByteArray("8"));
    for (const QByteArray &line : article)
        QVERIFY2(!line.contains('\r') && !line.contains('\n'), line.constData());
}

// Text that is not valid UTF-16 (a lone surrogate, as a damaged store or a
// paste may give) still has its line breaks: none may reach the wire bare, or
// a "." after it would end the article early and the rest go out as commands.
void tst_ArticleComposer::lineBreaksNextToLoneSurrogates_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<QByteArray>>("lines");

    const QChar low(0xdc00);
    const QChar high(0xd800);
    QTest::newRow("fuzz: lone low surrogate, then LF and a dot line")
        << QString(low) + QStringLiteral(".\n.\nQUIT") << QList<QByteArray>{"\xef\xbf\xbd.", "..", "QUIT"};
    QTest::newRow("lone high surrogate at a CR LF")
        << QStringLiteral("a") + high + QStringLiteral("\r\nb\rc") << QList<QByteArray>{"a\xef\xbf\xbd", "b", "c"};
}

void tst_ArticleComposer::lineBreaksNextToLoneSurrogates()
{
    QFETCH(QString, text);
    QFETCH(QList<QByteArray>, lines);

    NntpMessage m = question();
    m.setBodyText(text);
    QCOMPARE(m.body.size(), lines.size());
    // The same text handed over as one body entry is split the same way.
    for (const NntpMessage &message : {m, [&] {
                                           NntpMessage one = question();
                                           one.body = {text};
                                           return one;
                                       }()}) {
        const QList<QByteArray> article = compose(message);
        QCOMPARE(bodyLines(article), lines);
        QCOMPARE(header(article, "Lines"), QByteArray::number(lines.size()));
        for (const QByteArray &line : article)
            QVERIFY2(!line.contains('\r') && !line.contains('\n'), line.toHex().constData());
    }
}

void tst_ArticleComposer::dateOfSendingWhenNoDate()
{
    NntpMessage m = question();
    m.date = QDateTime();
    const QDateTime sendTime(QDate(2024, 7, 4), QTime(18, 0, 1), QTimeZone("America/New_York"));
    const QList<QByteArray> article = ArticleComposer(charsetsOf("en_US")).compose(m, newsAgent, sendTime);
    QCOMPARE(header(article, "Date"), QByteArray("Thu, 4 Jul 2024 18:00:01 -0400"));

    // Two copies of one message carry the message's date, whenever they go.
    m.date = berlin(2024, 8, 1, 8, 0, 0);
    QCOMPARE(header(compose(m), "Date"), QByteArray("Thu, 1 Aug 2024 08:00:00 +0200"));
    // Fuzz: neither a date nor a time of sending (once an out-of-bounds read
    // of the day names): the Date line is left out for the server to add.
    m.date = QDateTime();
    const QList<QByteArray> undated = ArticleComposer(charsetsOf("en_US")).compose(m, newsAgent, QDateTime());
    QCOMPARE(header(undated, "Date"), QByteArray("<none>"));
    QCOMPARE(header(undated, "X-Priority"), QByteArray("3"));
}

void tst_ArticleComposer::longHeadersFolded()
{
    NntpMessage m = question();
    QStringList refs;
    for (int i = 0; i < 8; ++i)
        refs << QStringLiteral("<%1.ABCD.EF01@2345.6789ABCDEF01>").arg(i, 8, 10, QLatin1Char('0'));
    m.references = refs.join(QLatin1Char(' '));
    m.subject = QString::fromUtf8("Как настроить сервер новостей, чтобы он принимал статьи");

    const QList<QByteArray> article = compose(m, "ru_RU");
    QByteArray unfoldedReferences;
    bool inReferences = false;
    for (const QByteArray &line : headerLines(article)) {
        QVERIFY2(line.size() <= 78, line.constData());
        if (line.startsWith("References: "))
            inReferences = true, unfoldedReferences = line.mid(12);
        else if (inReferences && line.startsWith(' '))
            unfoldedReferences += line;
        else
            inReferences = false;
    }
    QCOMPARE(unfoldedReferences, m.references.toLatin1());
    QVERIFY(headerLines(article).size() > headerNames(article).size() + 2);
}

void tst_ArticleComposer::accentedSubjectWordOnWesternSystem()
{
    NntpMessage m = question();
    m.subject = QString::fromUtf8("Question about the café menu");
    m.organization = QString::fromUtf8("Straße AG");
    m.from.name = QString::fromUtf8("Zoë Adams");
    const QList<QByteArray> article = compose(m, "en_GB");
    QCOMPARE(header(article, "Subject"), QByteArray("Question about the =?ISO-8859-1?Q?caf=E9?= menu"));
    QCOMPARE(header(article, "Organization"), QByteArray("=?ISO-8859-1?Q?Stra=DFe?= AG"));
    QCOMPARE(header(article, "From"), QByteArray("=?ISO-8859-1?Q?Zo=EB?= Adams <john@example.com>"));
}

QTEST_GUILESS_MAIN(tst_ArticleComposer)
#include "tst_articlecomposer.moc"
