// Overview lines with the date reader: any bytes as one line, through both
// forms of ParseOverviewLine (the bytes as received, and the same bytes taken
// as UTF-16 code units, lone surrogates included).
//
// Checks: the text fields are the TAB-separated pieces of the line and lose
// no byte; a number field of plain digits reads as its value; and a date that
// reads as valid comes back the same when written as a Date header and read
// again. The local zone is Europe/Berlin, so the clock's skipped hour is in
// reach.

#include "fuzzcheck.h"

#include "transport/articledate.h"
#include "transport/overview.h"

#include <QDateTime>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

QString field(const QStringList &parts, int n)
{
    return parts.value(n);
}

QByteArray field(const QList<QByteArray> &parts, int n)
{
    return parts.value(n);
}

void checkNumber(quint32 parsed, const QString &text)
{
    const QString trimmed = text.trimmed();
    bool digits = !trimmed.isEmpty() && trimmed.size() <= 9;
    for (QChar c : trimmed)
        digits = digits && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    if (digits)
        FUZZ_CHECK(parsed == trimmed.toUInt(), "a number field misread");
    bool anyDigit = false;
    for (QChar c : trimmed)
        anyDigit = anyDigit || c.isDigit();
    if (!anyDigit)
        FUZZ_CHECK(parsed == 0, "a number from a field without digits");
}

void checkDate(const QDateTime &date, const QString &text)
{
    const QDateTime again = ArticleDate::parse(QLatin1Char(' ') + text + QLatin1Char('\t'));
    FUZZ_CHECK(again.isValid() == date.isValid()
                   && (!date.isValid() || (again.date() == date.date() && again.time() == date.time())),
               "surrounding blanks change the date");
    if (!date.isValid())
        return;
    FUZZ_CHECK(date.date().isValid() && date.time().isValid(), "a valid date with invalid parts");
    const QByteArray written = ArticleDate::format(date);
    const QDateTime read = ArticleDate::parse(QString::fromLatin1(written));
    FUZZ_CHECK(read.isValid(), "a written date does not read back");
    FUZZ_CHECK(read.date() == date.date() && read.time() == date.time(), "a written date reads back as another");
}

// The fields as the plain split at TABs gives them.
OverviewLine checkText(const QString &line)
{
    const OverviewLine parsed = ParseOverviewLine(line);
    QString replaced = line;
    replaced.replace(QStringLiteral("\t\b\t"), QStringLiteral("\t"));
    const QStringList parts = replaced.split(QLatin1Char('\t'));
    FUZZ_CHECK(parsed.subject == field(parts, 1), "subject");
    FUZZ_CHECK(parsed.from == field(parts, 2), "from");
    FUZZ_CHECK(parsed.messageId == field(parts, 4), "message-id");
    FUZZ_CHECK(parsed.references == field(parts, 5), "references");
    FUZZ_CHECK(parsed.extra == parts.mid(8).join(QLatin1Char('\t')), "extra data");
    checkNumber(parsed.articleNumber, field(parts, 0));
    checkNumber(parsed.byteCount, field(parts, 6));
    checkNumber(parsed.lineCount, field(parts, 7));
    checkDate(parsed.date, field(parts, 3));
    return parsed;
}

// No byte of a field may be lost: each text field written back in the
// encoding it was read in gives the bytes received.
void checkBytes(const QByteArray &line)
{
    const OverviewLine parsed = ParseOverviewLine(line);
    QByteArray replaced = line;
    replaced.replace("\t\b\t", "\t");
    const QList<QByteArray> parts = replaced.split('\t');
    const bool utf8 = QString::fromUtf8(line).toUtf8() == line;
    const auto back = [utf8](const QString &text) { return utf8 ? text.toUtf8() : text.toLatin1(); };
    FUZZ_CHECK(back(parsed.subject) == field(parts, 1), "subject bytes");
    FUZZ_CHECK(back(parsed.from) == field(parts, 2), "from bytes");
    FUZZ_CHECK(back(parsed.messageId) == field(parts, 4), "message-id bytes");
    FUZZ_CHECK(back(parsed.references) == field(parts, 5), "references bytes");
    FUZZ_CHECK(back(parsed.extra) == parts.mid(8).join('\t'), "extra bytes");
    // The single fields the answer scan cuts for speed read as the whole line.
    FUZZ_CHECK(overviewField(line, OverviewField::References) == parsed.references, "single references field");
    FUZZ_CHECK(overviewField(line, OverviewField::MessageId) == parsed.messageId, "single message-id field");
    FUZZ_CHECK(overviewNumber(line) == parsed.articleNumber, "single number field");
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
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    checkBytes(bytes);
    checkText(QString::fromUtf8(bytes));
    QString units(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(units.data(), data, size_t(units.size()) * sizeof(QChar));
    checkText(units);
    return 0;
}
