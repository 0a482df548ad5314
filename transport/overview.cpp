#include "transport/overview.h"

#include "transport/articledate.h"

#include <QStringDecoder>

#include <limits>
#include <optional>

namespace {

constexpr int fieldCount = 8;

quint32 wholeNumber(const QString &field)
{
    bool ok = false;
    const quint32 value = field.trimmed().toUInt(&ok);
    return ok ? value : 0;
}

quint64 articleNumber(const QString &field)
{
    const QString digits = field.trimmed();
    bool ok = !digits.isEmpty();
    for (const QChar c : digits)
        ok = ok && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    const quint64 value = ok ? digits.toULongLong(&ok) : 0;
    return ok ? value : 0;
}

} // namespace

OverviewLine ParseOverviewLine(const QString &line)
{
    // Some servers write an empty field as TAB, backspace, TAB.
    QString rest = line;
    rest.replace(QStringLiteral("\t\b\t"), QStringLiteral("\t"));

    // Cut from the left: eight fields, each ended by a TAB; what follows the
    // eighth TAB is the extra data. A shorter line leaves the rest empty.
    QString fields[fieldCount];
    QString extra;
    qsizetype start = 0;
    for (int n = 0; n < fieldCount; ++n) {
        const qsizetype tab = rest.indexOf(QLatin1Char('\t'), start);
        if (tab < 0) {
            fields[n] = rest.mid(start);
            start = -1;
            break;
        }
        fields[n] = rest.mid(start, tab - start);
        start = tab + 1;
    }
    if (start >= 0)
        extra = rest.mid(start);

    OverviewLine parsed;
    parsed.articleNumber = articleNumber(fields[0]);
    parsed.subject = fields[1];
    parsed.from = fields[2];
    parsed.date = ArticleDate::parse(fields[3]);
    parsed.messageId = fields[4];
    parsed.references = fields[5];
    parsed.byteCount = wholeNumber(fields[6]);
    parsed.lineCount = wholeNumber(fields[7]);
    parsed.extra = extra;
    return parsed;
}

namespace {

// UTF-8 when the bytes are valid UTF-8, else Latin-1, so that no byte is lost.
// Stateless: a multi-byte sequence cut off at the end of the line is an error,
// not bytes held back for a next call that never comes.
QString lineText(const QByteArray &line, bool *wasUtf8 = nullptr)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(line);
    if (wasUtf8)
        *wasUtf8 = !utf8.hasError();
    return utf8.hasError() ? QString::fromLatin1(line) : text;
}

// The number of the usual line, ASCII digits up to the first TAB, read in
// place: the scan asks every line of a group. None for anything else (blanks,
// a sign, 8-bit bytes, more than 64 bits), which is read as the field would be.
std::optional<quint64> plainNumber(const QByteArray &line)
{
    constexpr quint64 kMost = std::numeric_limits<quint64>::max();
    quint64 value = 0;
    qsizetype end = 0;
    for (; end < line.size() && line[end] >= '0' && line[end] <= '9'; ++end) {
        const unsigned digit = unsigned(line[end] - '0');
        if (value > (kMost - digit) / 10)
            return std::nullopt;
        value = value * 10 + digit;
    }
    if (end > 0 && (end == line.size() || line[end] == '\t'))
        return value;
    return std::nullopt;
}

} // namespace

OverviewLine ParseOverviewLine(const QByteArray &line)
{
    return ParseOverviewLine(lineText(line));
}

bool overviewReadsAsUtf8(const QByteArray &line)
{
    bool utf8 = true;
    lineText(line, &utf8);
    return utf8;
}

QString overviewField(const QByteArray &line, OverviewField field)
{
    // Shared, not copied, unless there is a "\t\b\t" to replace.
    QByteArray rest = line;
    if (rest.contains('\b'))
        rest.replace("\t\b\t", "\t");
    qsizetype start = 0;
    for (int n = 0; n < int(field); ++n) {
        start = rest.indexOf('\t', start);
        if (start < 0)
            return QString();
        ++start;
    }
    const qsizetype end = rest.indexOf('\t', start);
    const QByteArrayView text = QByteArrayView(rest).sliced(start, (end < 0 ? rest.size() : end) - start);
    for (const char c : text) {
        // 8-bit bytes: decoded as the whole line would be.
        if (uchar(c) >= 0x80) {
            const OverviewLine parsed = ParseOverviewLine(line);
            return field == OverviewField::References ? parsed.references
                : field == OverviewField::MessageId   ? parsed.messageId
                                                      : QString::number(parsed.articleNumber);
        }
    }
    return QString::fromLatin1(text);
}

quint64 overviewNumber(const QByteArray &line)
{
    if (const std::optional<quint64> number = plainNumber(line))
        return *number;
    return articleNumber(overviewField(line, OverviewField::Number));
}
