#pragma once
// What the hostile-input test expects of text and how it reads articles back:
// the forms a text takes in a memo column and in a header field, a comparison
// of long texts that says where they differ, and an article as a news server
// holds it, read the way a strict reader reads it (header fields unfolded and
// checked for form, values decoded independently of the composer).

#include "tests/support/encodedwords.h"

#include <QByteArray>
#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTest>

#include <algorithm>

// Where a text differs from the expected one, for failure messages: lengths
// and the first differing position with a few code units around it.
inline QString difference(const QString &actual, const QString &expected)
{
    qsizetype at = 0;
    while (at < actual.size() && at < expected.size() && actual.at(at) == expected.at(at))
        ++at;
    const auto around = [at](const QString &text) {
        QStringList units;
        for (qsizetype i = qMax<qsizetype>(0, at - 3); i < qMin(text.size(), at + 4); ++i)
            units << QString::number(text.at(i).unicode(), 16);
        return units.join(QLatin1Char(' '));
    };
    return QStringLiteral("lengths %1 and %2, first difference at %3: [%4] instead of [%5]")
        .arg(actual.size())
        .arg(expected.size())
        .arg(at)
        .arg(around(actual), around(expected));
}

#define COMPARE_TEXT(actual, expected)                                                                                 \
    do {                                                                                                               \
        const QString a_ = (actual);                                                                                   \
        const QString e_ = (expected);                                                                                 \
        QVERIFY2(a_ == e_, qPrintable(QStringLiteral(#actual ": ") + difference(a_, e_)));                             \
    } while (false)

// A text's lines as a memo column keeps them: any line break becomes CR LF.
inline QString memo(const QString &text)
{
    QString lines = text;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return lines.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}

// A text as it must stand in a header field: line breaks become blanks.
inline QString oneLine(const QString &text)
{
    QString line = text;
    line.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return line.replace(QLatin1Char('\n'), QLatin1Char(' '));
}

// What a sound UTF-8 conversion makes of a text: a lone surrogate becomes
// U+FFFD, everything else stays.
inline QString asUtf8Reads(const QString &text)
{
    QString sound;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            sound += c;
            sound += text.at(++i);
        } else {
            sound += c.isSurrogate() ? QChar(QChar::ReplacementCharacter) : c;
        }
    }
    return sound;
}

// True when every character is ASCII: the composer then declares no MIME.
inline bool isAscii(const QString &text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
}

// One header field of an article, unfolded: the CR LF before each
// continuation line removed, its blanks kept.
struct HeaderField
{
    QByteArray name;
    QByteArray value;
    QByteArray line; // the unfolded line, for failure messages
};

inline QList<HeaderField> headerFields(const QByteArray &article)
{
    const QByteArray head = article.left(article.indexOf("\r\n\r\n"));
    QList<QByteArray> lines;
    for (const QByteArray &line : head.split('\n')) {
        const QByteArray bare = line.endsWith('\r') ? line.chopped(1) : line;
        if ((bare.startsWith(' ') || bare.startsWith('\t')) && !lines.isEmpty())
            lines.last() += bare;
        else
            lines << bare;
    }
    QList<HeaderField> fields;
    for (const QByteArray &line : lines) {
        const qsizetype colon = line.indexOf(':');
        fields << HeaderField{line.left(qMax<qsizetype>(colon, 0)), line.mid(colon + 2), line};
    }
    return fields;
}

// A well-formed unfolded header line: a name of printable ASCII without ":",
// ": ", and a value of printable ASCII, blanks and tabs only.
inline bool wellFormed(const HeaderField &field)
{
    static const QRegularExpression name(QStringLiteral("^[!-9;-~]+$"));
    if (!name.match(QString::fromLatin1(field.name)).hasMatch() || !field.line.startsWith(field.name + ": "))
        return false;
    for (const char c : field.value) {
        if ((uchar(c) < 0x20 && c != '\t') || uchar(c) >= 0x7f)
            return false;
    }
    return true;
}

inline QByteArray valueOf(const QList<HeaderField> &fields, const QByteArray &name)
{
    for (const HeaderField &field : fields) {
        if (field.name.compare(name, Qt::CaseInsensitive) == 0)
            return field.value;
    }
    return {};
}

// The display name of a From value: a quoted string unquoted, or the phrase's
// encoded-words decoded.
inline QString fromName(const QByteArray &value, QByteArray *address)
{
    const qsizetype open = value.lastIndexOf(" <");
    if (open < 0 || !value.endsWith('>'))
        return QStringLiteral("<not name and address: %1>").arg(QString::fromLatin1(value));
    *address = value.mid(open + 2, value.size() - open - 3);
    const QByteArray phrase = value.left(open);
    if (phrase.size() >= 2 && phrase.startsWith('"') && phrase.endsWith('"')) {
        QString name;
        for (qsizetype i = 1; i < phrase.size() - 1; ++i) {
            if (phrase.at(i) == '\\')
                ++i;
            name += QLatin1Char(phrase.at(i));
        }
        return name;
    }
    bool ok = true;
    const QString name = decodeEncodedWords(phrase, &ok);
    return ok ? name : QStringLiteral("<malformed: %1>").arg(QString::fromLatin1(phrase));
}

inline QString decoded(const QByteArray &value)
{
    bool ok = true;
    const QString text = decodeEncodedWords(value, &ok);
    return ok ? text : QStringLiteral("<malformed: %1>").arg(QString::fromLatin1(value));
}

// The fields the server adds to an article when it takes it in.
inline const QList<QByteArray> kServerFields{"Path",
                                             "Xref",
                                             "Injection-Info",
                                             "Injection-Date",
                                             "NNTP-Posting-Host",
                                             "NNTP-Posting-Date",
                                             "X-Trace",
                                             "X-Complaints-To"};
