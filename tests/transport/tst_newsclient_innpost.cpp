// Posting with the news client to a real INN, and reading back what the server
// stored: the header lines byte for byte as sent, folded lines that unfold to
// the original text, encoded-words that decode to it, the body with its dots,
// and the article as XOVER and BODY give it to the client again.

#include "tests/support/clientfailure.h"
#include "tests/support/encodedwords.h"
#include "tests/support/innserver.h"

#include "transport/articlecharsets.h"
#include "transport/messageid.h"
#include "transport/newsclient.h"
#include "transport/nntpmessage.h"
#include "transport/overview.h"

#include <QStringEncoder>
#include <QtTest>

#include <memory>

namespace {

const QString postGroup = QStringLiteral("quorbic.post");
const QString newsAgent = QStringLiteral("Quorbic 1.0");

// Header fields INN adds to every posted article.
const QList<QByteArray> serverFields{"Path", "Injection-Date", "Injection-Info", "Xref"};

struct Field
{
    QByteArray name;
    QList<QByteArray> lines; // the physical lines, the first with "Name: "
    QByteArray unfolded() const { return lines.join(QByteArray()); }
    QByteArray value() const { return unfolded().mid(name.size() + 2); }
};

QList<Field> splitFields(const QList<QByteArray> &headerLines)
{
    QList<Field> fields;
    for (const QByteArray &line : headerLines) {
        if ((line.startsWith(' ') || line.startsWith('\t')) && !fields.isEmpty())
            fields.last().lines.append(line);
        else
            fields.append({line.left(line.indexOf(':')), {line}});
    }
    return fields;
}

const Field *findField(const QList<Field> &fields, const QByteArray &name)
{
    for (const Field &field : fields) {
        if (field.name.compare(name, Qt::CaseInsensitive) == 0)
            return &field;
    }
    return nullptr;
}

// The display name of a From value: quoted-string or encoded-words.
QString displayName(const QByteArray &rawName)
{
    if (!rawName.startsWith('"'))
        return decodeEncodedWords(rawName);
    QString name;
    for (qsizetype i = 1; i + 1 < rawName.size(); ++i) {
        if (rawName.at(i) == '\\')
            ++i;
        name += QLatin1Char(rawName.at(i));
    }
    return name;
}

QString longText(const QString &word, int count)
{
    QStringList words;
    for (int i = 0; i < count; ++i)
        words << word + QString::number(i);
    return words.join(QLatin1Char(' '));
}

} // namespace

class TestNewsClientInnPost : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void postReadBack_data();
    void postReadBack();

private:
    std::unique_ptr<InnServer> m_inn;
};

void TestNewsClientInnPost::initTestCase()
{
    InnServer::Options options;
    options.groups = {postGroup};
    m_inn = std::make_unique<InnServer>(options);
    QVERIFY2(m_inn->start(), qPrintable(m_inn->errorString()));
}

void TestNewsClientInnPost::cleanupTestCase()
{
    m_inn.reset();
}

void TestNewsClientInnPost::postReadBack_data()
{
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("organization");
    QTest::addColumn<QString>("references");
    QTest::addColumn<QStringList>("body");

    const QString address = QStringLiteral("asker@test.invalid");
    const QStringList plainBody{QStringLiteral("Hello,"), QStringLiteral("where is the FAQ?")};
    QTest::newRow("plain question") << "Where is the FAQ?"
                                    << "Ann Asker" << address << ""
                                    << "" << plainBody;
    QTest::newRow("reply with references")
        << "Re: Where is the FAQ?"
        << "Bob Answerer" << address << "Quorbic Testers"
        << "<A1.B2@test.invalid> <C3.D4@test.invalid>" << QStringList{QStringLiteral("> quoted"), "Here."};
    QTest::newRow("long subject, organization and references folded")
        << longText(QStringLiteral("word"), 30) << "Ann Asker" << address << longText(QStringLiteral("org"), 25)
        << "<01234567.89AB.CDEF@0123.456789ABCDEF> <FEDCBA98.7654.3210@FEDC.BA9876543210> "
           "<0F1E2D3C.4B5A.6978@8796.A5B4C3D2E1F0>"
        << plainBody;
    QTest::newRow("body lines beginning with dots")
        << "Dots"
        << "Ann Asker" << address << ""
        << "" << QStringList{".", "..", ".hidden", "...three", "", "text", "."};
    QTest::newRow("encoded-words in subject, name and organization")
        << QStringLiteral("Gr\u00fc\u00dfe aus K\u00f6ln, bitte") << QStringLiteral("J\u00fcrgen M\u00fcller")
        << address << QStringLiteral("Caf\u00e9 Z\u00fcrich") << "" << plainBody;
    QTest::newRow("long encoded subject folded")
        << longText(QStringLiteral("\u00e4\u00f6\u00fc"), 30) << "Ann Asker" << address << ""
        << "" << plainBody;
    QTest::newRow("quotes and backslash in the name") << "Quoting"
                                                      << "Ann \"the\" Asker\\" << address << ""
                                                      << "" << plainBody;
    QTest::newRow("empty display name") << "Bare address"
                                        << "" << address << ""
                                        << "" << plainBody;
    QTest::newRow("non-ASCII body") << "Umlauts"
                                    << "Ann Asker" << address << ""
                                    << ""
                                    << QStringList{QStringLiteral("Gr\u00fc\u00dfe aus K\u00f6ln"),
                                                   QStringLiteral("na\u00efve caf\u00e9")};
}

void TestNewsClientInnPost::postReadBack()
{
    QFETCH(QString, subject);
    QFETCH(QString, name);
    QFETCH(QString, address);
    QFETCH(QString, organization);
    QFETCH(QString, references);
    QFETCH(QStringList, body);

    NntpMessage message;
    message.subject = subject;
    message.from = {name, address};
    message.organization = organization;
    message.references = references;
    message.newsGroups = {postGroup};
    message.msgId = NewMessageId();
    message.body = body;
    // A fixed date makes the text sent and postLines() below the same.
    message.date = QDateTime::currentDateTime();
    message.date.setTime(QTime(message.date.time().hour(), message.date.time().minute()));

    NewsClient client;
    NewsClientSettings settings;
    settings.Host = m_inn->host();
    settings.Port = m_inn->port();
    settings.SocksInfo.Version = SocksVersion::svNoSocks;
    client.setSettings(settings);
    ClientFailure failure = failureOf([&] {
        client.connect();
        client.post(message);
    });
    QVERIFY2(failure.kind == "none", qPrintable(failure.describe()));
    QCOMPARE(client.lastReplyCode(), 240);

    // What the server stored, read without the client.
    QByteArray status;
    const QByteArray stored = m_inn->fetch("ARTICLE " + message.msgId.toUtf8(), &status);
    QVERIFY2(!stored.isNull(), qPrintable(status + m_inn->errorString().toUtf8()));
    const qsizetype split = stored.indexOf("\r\n\r\n");
    QVERIFY(split > 0);
    QList<QByteArray> storedHeader = stored.left(split).split('\n');
    for (QByteArray &line : storedHeader)
        line.chop(1); // the CR
    const QByteArray storedBody = stored.mid(split + 4);

    // Every header field sent is stored with its lines unchanged; INN puts the
    // fields in its own order and adds its own.
    const QList<QByteArray> sentLines = message.postLines(newsAgent);
    const QList<QByteArray> sentHeader = sentLines.mid(0, sentLines.indexOf(QByteArray()));
    const QList<Field> fields = splitFields(storedHeader);
    QStringList kept, sent;
    for (const Field &field : fields) {
        if (!serverFields.contains(field.name))
            kept += QString::fromLatin1(field.lines.join("\r\n"));
    }
    for (const Field &field : splitFields(sentHeader))
        sent += QString::fromLatin1(field.lines.join("\r\n"));
    kept.sort();
    sent.sort();
    QCOMPARE(kept, sent);

    // Folded lines keep to 78 characters unless a single word is longer, and
    // unfold (CR LF removed) to the original text.
    for (const QByteArray &line : sentHeader) {
        const QByteArray rest = line.startsWith(' ') ? line.trimmed() : line.mid(line.indexOf(": ") + 2);
        QVERIFY2(line.size() <= 78 || !rest.contains(' '), line.constData());
    }
    static const QRegularExpression encodedWord(QStringLiteral("=\\?[^?]+\\?[QqBb]\\?[^?]*\\?="));
    for (const QByteArray &line : sentHeader) {
        QRegularExpressionMatchIterator it = encodedWord.globalMatch(QString::fromLatin1(line));
        while (it.hasNext()) {
            const QString word = it.next().captured();
            QVERIFY2(word.size() <= 75, qPrintable(QStringLiteral("encoded-word longer than 75: ") + word));
        }
    }
    const Field *subjectField = findField(fields, "Subject");
    QVERIFY(subjectField);
    bool decoded = false;
    QCOMPARE(decodeEncodedWords(subjectField->value(), &decoded), subject);
    QVERIFY(decoded);
    const Field *organizationField = findField(fields, "Organization");
    QCOMPARE(organizationField != nullptr, !organization.isEmpty());
    if (organizationField)
        QCOMPARE(decodeEncodedWords(organizationField->value()), organization);
    const Field *referencesField = findField(fields, "References");
    QCOMPARE(referencesField ? QString::fromLatin1(referencesField->value()) : QString(), references);
    const Field *fromField = findField(fields, "From");
    QVERIFY(fromField);
    const QByteArray from = fromField->value();
    if (name.isEmpty()) {
        QCOMPARE(QString::fromLatin1(from), address);
    } else {
        const qsizetype angle = from.lastIndexOf(" <");
        QVERIFY2(angle > 0, from.constData());
        QCOMPARE(displayName(from.left(angle)), name);
        QCOMPARE(QString::fromLatin1(from.mid(angle + 1)), '<' + address + '>');
    }

    // The body as written, in the charset the article declares.
    const ArticleCharsets charsets = ArticleCharsets::forSystem();
    QStringEncoder encoder(charsets.bodyCharset.constData());
    QByteArray expectedBody;
    for (const QString &line : body)
        expectedBody += encoder.encode(line) + "\r\n";
    QCOMPARE(storedBody, expectedBody);

    // And the client reads it back: XOVER fields and BODY text.
    QList<QByteArray> overview;
    NntpMessage fetched;
    bool found = false;
    failure = failureOf([&] {
        client.selectGroup(postGroup);
        overview = client.overview(QString::number(client.groupFigures().high) + '-');
        found = client.body(client.groupFigures().high, fetched);
    });
    QVERIFY2(failure.kind == "none", qPrintable(failure.describe()));
    QCOMPARE(overview.size(), 1);
    const OverviewLine line = ParseOverviewLine(overview.first());
    QCOMPARE(line.messageId, message.msgId);
    QCOMPARE(line.subject, QString::fromLatin1(subjectField->value()));
    QCOMPARE(line.references, references);
    QCOMPARE(line.lineCount, quint32(body.size()));
    QCOMPARE(line.date, message.date);
    QVERIFY(found);
    QCOMPARE(fetched.fetchedText(), expectedBody);
}

QTEST_GUILESS_MAIN(TestNewsClientInnPost)
#include "tst_newsclient_innpost.moc"
