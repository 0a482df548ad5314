// The retrieval matcher: which record an article's References answer. The
// input is text: every line but the last is a recorded Message-ID, the last
// line is the References. In the References "$N" (N a digit) stands for the
// N-th recorded Message-ID, so that matches are easy to reach for the fuzzer.
// The same input is also read as UTF-16 code units, lone surrogates included.
//
// Check: the matcher answers what the plain rule answers, the newest record
// (highest code) whose Message-ID occurs as an exact substring of the
// References, an empty Message-ID matching nothing. Codes are handed out out
// of order, and a Message-ID may be recorded twice.

#include "fuzzcheck.h"

#include "exchange/referencematcher.h"

#include <QList>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>

namespace {

constexpr int kMaxRecords = 64;

struct Recorded
{
    QString messageId;
    ReferenceMatcher::Record record;
};

QString expand(const QString &references, const QList<Recorded> &records)
{
    QString out;
    for (qsizetype i = 0; i < references.size(); ++i) {
        const QChar c = references.at(i);
        if (c == QLatin1Char('$') && i + 1 < references.size() && references.at(i + 1).isDigit()) {
            const int n = references.at(i + 1).digitValue();
            if (n >= 0 && n < records.size()) {
                out += records.at(n).messageId;
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

std::optional<ReferenceMatcher::Record> plainRule(const QString &references, const QList<Recorded> &records)
{
    std::optional<ReferenceMatcher::Record> best;
    for (const Recorded &r : records) {
        if (r.messageId.isEmpty() || !references.contains(r.messageId, Qt::CaseSensitive))
            continue;
        if (!best || r.record.code > best->code)
            best = r.record;
    }
    return best;
}

void check(const QString &text)
{
    QList<QString> lines = text.split(QLatin1Char('\n'));
    const QString rawReferences = lines.takeLast();
    QList<Recorded> records;
    ReferenceMatcher matcher;
    for (qsizetype i = 0; i < lines.size() && i < kMaxRecords; ++i) {
        // Distinct codes, not in the order of recording.
        const int code = int((i * 37) % 101) + 1;
        const Recorded r{lines.at(i), {code, int(i)}};
        records.append(r);
        matcher.add(r.messageId, r.record);
    }
    const QString references = expand(rawReferences, records);
    const auto got = matcher.newestIn(references);
    const auto want = plainRule(references, records);
    FUZZ_CHECK(got.has_value() == want.has_value(), "a match found by one rule only");
    if (got)
        FUZZ_CHECK(got->code == want->code && got->articleId == want->articleId, "another record matched");

    // Cleared, it matches nothing.
    matcher.clear();
    FUZZ_CHECK(matcher.size() == 0 && !matcher.newestIn(references), "a cleared matcher matched");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    check(QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size)));
    QString units(qsizetype(size / 2), Qt::Uninitialized);
    std::memcpy(units.data(), data, size_t(units.size()) * sizeof(QChar));
    check(units);
    return 0;
}
