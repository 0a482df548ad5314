// The composer of posted articles, with any subject, name, address,
// organization, newsgroup, references, Message-ID, extra header and body:
// CR, LF, NUL, invalid UTF-8, lone UTF-16 surrogates and lines up to 10 MB,
// on a system of each of the five charset sets.
//
// Input: byte 0 the system (Western, simplified Chinese, other Chinese,
// Japanese, Korean), byte 1 how field bytes become text (UTF-8, Latin-1,
// UTF-16 code units) and the priority, byte 2 the message date and the time of
// sending (invalid ones included), byte 3 a field to stretch (low four bits)
// and to what size (high four bits: 14 the smaller size, 15 the bigger one,
// below 14 none; see below), then the fields separated by 0x1E; body entries
// are separated by 0x1F.
//
// Checks: no line holds CR or LF; the header is exactly the generated headers
// in their order (plus the one extra header): nothing a field holds can start
// a header of its own or end the header early; Subject, Organization and the
// From name decode back to what was given; the body lines, unstuffed and
// decoded, are the given lines and the Lines header counts them; no line is a
// lone "."; an article with no MIME declaration is pure ASCII.

#include "fuzzcheck.h"

#include "transport/articlecharsets.h"
#include "transport/articlecomposer.h"
#include "transport/clienterrors.h"
#include "transport/newsgroupname.h"
#include "transport/displaytext.h"
#include "transport/headerencoding.h"
#include "transport/nntpmessage.h"

#include <QDateTime>
#include <QHash>
#include <QLocale>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTimeZone>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

constexpr int headerSize = 4;
// A stretched field makes every run slow and libFuzzer keeps such inputs for
// their loop counts, so the everyday target stretches to 4 and 64 KB; the
// _large build of this file (run on its own) to 1 and 10 MB.
#ifdef QUORBIC_FUZZ_LARGE
constexpr qsizetype smallStretch = 1024 * 1024;
constexpr qsizetype bigStretch = 10 * 1024 * 1024;
#else
constexpr qsizetype smallStretch = 4 * 1024;
constexpr qsizetype bigStretch = 64 * 1024;
#endif

enum Field { Subject, Name, Address, Organization, Newsgroup, References, MsgId, Extra, Body, FieldCount };

const char *const generatedOrder[] = {
    "Message-ID",   "From",       "Subject", "Newsgroups", "MIME-Version", "Content-Type", "Content-Transfer-Encoding",
    "Organization", "References", "Date",    "X-Priority", "X-Library",    "Lines",        "X-Newsreader"};

QString textOf(const QByteArray &bytes, int mode)
{
    switch (mode) {
    case 0:
        return QString::fromUtf8(bytes);
    case 1:
        return QString::fromLatin1(bytes);
    default: {
        QString units(bytes.size() / 2, Qt::Uninitialized);
        std::memcpy(units.data(), bytes.constData(), size_t(units.size()) * sizeof(QChar));
        return units;
    }
    }
}

// Every character, a U+FEFF at the start included.
QString decodeUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

// What a text becomes when it has to go out as UTF-8: a lone surrogate turns
// into the replacement character.
QString asUtf8Can(const QString &text)
{
    QStringEncoder encoder(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
    return decodeUtf8(encoder.encode(text));
}

QDateTime dateOf(int choice)
{
    switch (choice) {
    case 0:
        return {};
    case 1:
        return QDateTime(QDate(2024, 1, 15), QTime(10, 20, 30));
    case 2:
        return QDateTime(QDate(2024, 3, 31), QTime(2, 30)); // the skipped hour
    case 3:
        return QDateTime(QDate(2024, 10, 27), QTime(2, 30)); // the hour that comes twice
    case 4:
        return QDateTime(QDate(1, 1, 1), QTime(0, 0), Qt::UTC);
    case 5:
        return QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59));
    case 6:
        return QDateTime(QDate(2024, 6, 1), QTime(12, 0), QTimeZone(14 * 3600));
    default:
        return QDateTime(QDate(2024, 6, 1), QTime(12, 0), QTimeZone(-(9 * 3600 + 30 * 60)));
    }
}

ArticleCharsets charsetsOf(int system)
{
    static const char *const locales[] = {"en_US", "zh_CN", "zh_TW", "ja_JP", "ko_KR"};
    return ArticleCharsets::forLocale(QLocale(QLatin1String(locales[system % 5])));
}

struct HeaderField
{
    QByteArray name;
    QByteArray value; // unfolded, after ": "
};

// An encoded header text decodes back to the text given, with CR and LF as
// blanks; at the end of a header line the folding drops trailing blanks.
void checkEncodedText(const QByteArray &value, const QString &given, bool endsLine, const char *what)
{
    // A plain word that looks like an encoded-word is read as one by every
    // decoder; such text cannot come back as given.
    if (given.contains(QLatin1String("=?")))
        return;
    QString expected = asUtf8Can(HeaderEncoding::singleLine(given));
    while (endsLine && expected.endsWith(QLatin1Char(' ')))
        expected.chop(1);
    const QString decoded = DisplayText::header(value);
    if (decoded != expected)
        std::fprintf(stderr, "value %s\ndecoded %s\nexpected %s\n", value.toHex(' ').constData(),
                     decoded.toUtf8().toHex(' ').constData(), expected.toUtf8().toHex(' ').constData());
    FUZZ_CHECK(decoded == expected, what);
}

bool onlySpaces(const QString &text)
{
    for (QChar c : text) {
        if (c != QLatin1Char(' ') && c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            return false;
    }
    return true;
}

QString decodeBody(const QByteArray &line, const QByteArray &charset)
{
    QStringDecoder decoder(charset.isEmpty() ? "UTF-8" : charset.constData(),
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    FUZZ_CHECK(decoder.isValid(), "body charset unknown");
    const QString text = decoder.decode(line);
    FUZZ_CHECK(!decoder.hasError(), "a body line is not in its declared charset");
    return text;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < headerSize)
        return 0;
    const ArticleCharsets charsets = charsetsOf(data[0]);
    const int mode = data[1] % 3;
    const int priority = 1 + (data[1] >> 2) % 5;
    const QDateTime date = dateOf(data[2] & 7);
    const QDateTime sendTime = (data[2] & 0x80) ? QDateTime() : dateOf(1 + ((data[2] >> 3) & 15) % 7);
    const int stretchField = data[3] & 15;
    const int stretchStep = data[3] >> 4;

    QList<QByteArray> fields
        = QByteArray(reinterpret_cast<const char *>(data + headerSize), qsizetype(size - headerSize)).split('\x1e');
    fields.resize(FieldCount);
    if (stretchStep >= 14 && stretchField < FieldCount) {
        QByteArray &field = fields[stretchField];
        if (field.isEmpty())
            field = "x";
        const qsizetype target = stretchStep == 15 ? bigStretch : smallStretch;
        field = field.repeated(target / field.size() + 1).left(target);
    }

    NntpMessage message;
    message.subject = textOf(fields[Subject], mode);
    message.from = {textOf(fields[Name], mode), textOf(fields[Address], mode)};
    message.organization = textOf(fields[Organization], mode);
    if (!fields[Newsgroup].isEmpty())
        message.newsGroups = {textOf(fields[Newsgroup], mode)};
    message.references = textOf(fields[References], mode);
    message.msgId = textOf(fields[MsgId], mode);
    if (!fields[Extra].isEmpty())
        message.extraHeaders = {textOf(fields[Extra], mode)};
    for (const QByteArray &entry : fields[Body].split('\x1f'))
        message.body.append(textOf(entry, mode));
    if (fields[Body].isEmpty())
        message.body.clear();
    message.date = date;
    message.priority = NntpMessage::Priority(priority);

    // A name that is no newsgroup name (a comma, a blank, a control
    // character) refuses the whole article; the rest is then checked with a
    // valid name in its place.
    bool invalidGroup = false;
    for (const QString &group : message.newsGroups)
        invalidGroup = invalidGroup || !NewsgroupName::isValid(group);
    for (const QString &extra : message.extraHeaders)
        invalidGroup = invalidGroup
            || HeaderEncoding::singleLine(extra).trimmed().startsWith(QLatin1String("Followup-To:"),
                                                                      Qt::CaseInsensitive);
    if (invalidGroup) {
        bool refused = false;
        try {
            ArticleComposer(charsets).compose(message, QStringLiteral("Quorbic 1.0"), sendTime);
        } catch (const ClientError &) {
            refused = true;
        }
        const bool followupOnly = std::all_of(message.newsGroups.begin(), message.newsGroups.end(),
                                              [](const QString &group) { return NewsgroupName::isValid(group); });
        FUZZ_CHECK(refused || followupOnly, "an article with an invalid newsgroup name was composed");
        message.newsGroups = {QStringLiteral("comp.lang.misc")};
        message.extraHeaders.clear();
    }
    const QList<QByteArray> article
        = ArticleComposer(charsets).compose(message, QStringLiteral("Quorbic 1.0"), sendTime);

    for (const QByteArray &line : article)
        FUZZ_CHECK(!line.contains('\r') && !line.contains('\n'), "a line holds a line break");
    const qsizetype blank = article.indexOf(QByteArray());
    FUZZ_CHECK(blank > 0, "no header, or no empty line after it");

    // The header, unfolded: a continuation line begins with a blank.
    QList<HeaderField> headers;
    for (qsizetype i = 0; i < blank; ++i) {
        const QByteArray &line = article.at(i);
        if (line.startsWith(' ') || line.startsWith('\t')) {
            FUZZ_CHECK(!headers.isEmpty(), "the header begins with a continuation");
            headers.last().value += line;
            continue;
        }
        const qsizetype colon = line.indexOf(": ");
        headers.append({colon < 0 ? line : line.left(colon), colon < 0 ? QByteArray() : line.mid(colon + 2)});
    }
    qsizetype order = 0;
    qsizetype extras = 0;
    QHash<QByteArray, QByteArray> values;
    for (const HeaderField &header : headers) {
        while (order < qsizetype(std::size(generatedOrder)) && header.name != generatedOrder[order])
            ++order;
        if (order == qsizetype(std::size(generatedOrder))) {
            ++extras;
            continue;
        }
        values.insert(header.name, header.value);
        ++order;
    }
    FUZZ_CHECK(values.contains("X-Newsreader"), "X-Newsreader missing or out of order");
    FUZZ_CHECK(extras <= message.extraHeaders.size(), "a header nobody asked for");

    if (!onlySpaces(message.subject))
        checkEncodedText(values.value("Subject"), message.subject, true, "subject does not decode back");
    else
        FUZZ_CHECK(!values.contains("Subject"), "an empty subject was sent");
    if (!onlySpaces(message.organization))
        checkEncodedText(values.value("Organization"), message.organization, true, "organization does not decode back");
    else
        FUZZ_CHECK(!values.contains("Organization"), "an empty organization was sent");
    const QString name = HeaderEncoding::singleLine(message.from.name);
    const QByteArray address = HeaderEncoding::singleLine(message.from.address).toUtf8();
    if (!name.isEmpty() && HeaderEncoding::needsEncoding(name)) {
        const QByteArray from = values.value("From");
        const QByteArray tail = " <" + address + '>';
        FUZZ_CHECK(from.endsWith(tail), "From does not end in the address");
        checkEncodedText(from.chopped(tail.size()), name, false, "the From name does not decode back");
    }

    // The body.
    QByteArray charset;
    const QByteArray contentType = values.value("Content-Type");
    if (const qsizetype at = contentType.indexOf("charset="); at >= 0)
        charset = contentType.mid(at + 8);
    QStringList expected;
    for (const QString &entry : message.body) {
        for (const QString &line : entry.isEmpty() ? QStringList{entry} : ArticleComposer::splitLines(entry))
            expected.append(line);
    }
    const QList<QByteArray> body = article.mid(blank + 1);
    FUZZ_CHECK(body.size() == expected.size(), "body lines lost or added");
    FUZZ_CHECK(values.value("Lines") == QByteArray::number(body.size()), "Lines does not count the body");
    for (qsizetype i = 0; i < body.size(); ++i) {
        const QByteArray &line = body.at(i);
        FUZZ_CHECK(line != ".", "a lone dot in the body");
        FUZZ_CHECK(!line.startsWith('.') || line.startsWith(".."), "a body line not dot-stuffed");
        const QByteArray unstuffed = line.startsWith('.') ? line.mid(1) : line;
        const QString want = charset == "UTF-8" || charset.isEmpty() ? asUtf8Can(expected.at(i)) : expected.at(i);
        FUZZ_CHECK(decodeBody(unstuffed, charset) == want, "a body line does not decode back");
    }

    if (!values.contains("Content-Type")) {
        for (const QByteArray &line : article) {
            for (char c : line)
                FUZZ_CHECK(uchar(c) < 128, "8-bit text without a MIME declaration");
        }
    }
    if (values.value("Content-Transfer-Encoding") == "7bit") {
        for (const QByteArray &line : body) {
            for (char c : line)
                FUZZ_CHECK(uchar(c) < 128, "8-bit body declared 7bit");
        }
    }
    return 0;
}
