#include "transport/headerencoding.h"

#include "transport/articlecharsets.h"

#include <QList>
#include <QString>
#include <QStringEncoder>
#include <QVarLengthArray>

namespace HeaderEncoding {

namespace {

// The longest encoded-word we write. RFC 2047 allows 75; 64 keeps even
// "Organization: " followed by one encoded-word within a 78-character line.
constexpr qsizetype maxEncodedWord = 64;

const QByteArray utf8 = QByteArrayLiteral("UTF-8");

bool isControlOrNonAscii(QChar c)
{
    return c.unicode() < 32 || c.unicode() >= 127;
}

bool isSpecial(QChar c)
{
    static const QString specials = QStringLiteral("()<>@,;:\\\".[]");
    return specials.contains(c);
}

// RFC 5322 lets no header line run past 998 characters, and folding breaks
// only at blanks. A longer word fits no line; as encoded-words it can be
// broken between them. The margin leaves room for the header's name.
constexpr qsizetype longestPlainWord = 900;

bool wordNeedsEncoding(const QString &word, Context context)
{
    if (word.size() > longestPlainWord)
        return true;
    for (QChar c : word) {
        if (isControlOrNonAscii(c) || (context == Context::Phrase && isSpecial(c)))
            return true;
    }
    return false;
}

bool isQPlain(uchar b)
{
    return (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') || b == '!' || b == '*'
        || b == '+' || b == '-' || b == '/';
}

// Q encoding in its strictest form (RFC 2047 5(3)), valid in any header.
QByteArray qEncode(const QByteArray &bytes)
{
    QByteArray out;
    for (char ch : bytes) {
        const uchar b = uchar(ch);
        if (isQPlain(b)) {
            out += char(b);
        } else if (b == ' ') {
            out += '_';
        } else {
            out += '=';
            out += QByteArray::number(b, 16).toUpper().rightJustified(2, '0');
        }
    }
    return out;
}

qsizetype qEncodedSize(QByteArrayView bytes)
{
    qsizetype size = 0;
    for (char ch : bytes)
        size += isQPlain(uchar(ch)) || ch == ' ' ? 1 : 3;
    return size;
}

QByteArray encodedWord(const QString &text, const QByteArray &charset, char letter)
{
    const QByteArray bytes = encodeInCharset(text, charset, nullptr);
    const QByteArray payload = letter == 'B' ? bytes.toBase64() : qEncode(bytes);
    return "=?" + charset + '?' + letter + '?' + payload + "?=";
}

// The end of the character that begins at i: a surrogate pair is one.
qsizetype nextCharacter(const QString &text, qsizetype i)
{
    if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
        return i + 2;
    return i + 1;
}

// Cuts a run for a charset with shift states (ISO-2022-JP): the encoded form
// of a piece is not the sum of its characters' forms, so each candidate is
// encoded whole.
QList<QByteArray> encodeShifted(const QString &run, const QByteArray &charset, char letter)
{
    QList<QByteArray> words;
    qsizetype start = 0;
    while (start < run.size()) {
        qsizetype end = start;
        QByteArray best;
        while (end < run.size()) {
            const qsizetype next = nextCharacter(run, end);
            const QByteArray candidate = encodedWord(run.mid(start, next - start), charset, letter);
            if (!best.isEmpty() && candidate.size() > maxEncodedWord)
                break;
            best = candidate;
            end = next;
        }
        words.append(best);
        start = end;
    }
    return words;
}

// Cuts a run for a charset without shift states: each character is encoded
// once and a word takes characters while its encoded form fits, so a run of
// megabytes takes linear time.
QList<QByteArray> encodeStateless(const QString &run, const QByteArray &charset, char letter)
{
    const QByteArray head = "=?" + charset + '?' + letter + '?';
    const qsizetype room = maxEncodedWord - head.size() - 2;
    const auto word
        = [&](const QByteArray &bytes) { return head + (letter == 'B' ? bytes.toBase64() : qEncode(bytes)) + "?="; };
    QStringEncoder encoder(charset.constData(), QStringEncoder::Flag::Stateless);
    QList<QByteArray> words;
    QByteArray bytes;
    qsizetype qSize = 0;
    QVarLengthArray<char, 32> buffer; // one character's bytes, without a heap block each
    for (qsizetype i = 0; i < run.size();) {
        const qsizetype next = nextCharacter(run, i);
        buffer.resize(encoder.requiredSpace(next - i));
        const char *end = encoder.appendToBuffer(buffer.data(), QStringView(run).sliced(i, next - i));
        const QByteArrayView one(buffer.data(), end - buffer.data());
        const qsizetype oneQ = qEncodedSize(one);
        const qsizetype payload = letter == 'B' ? (bytes.size() + one.size() + 2) / 3 * 4 : qSize + oneQ;
        if (!bytes.isEmpty() && payload > room) {
            words.append(word(bytes));
            bytes.clear();
            qSize = 0;
        }
        bytes += one;
        qSize += oneQ;
        i = next;
    }
    if (!bytes.isEmpty())
        words.append(word(bytes));
    return words;
}

// Cuts the text at character boundaries into pieces whose encoded-words fit
// maxEncodedWord; each piece is encoded on its own, so a multi-byte character
// or a shift sequence never straddles two encoded-words.
QByteArray encodeRun(const QString &run, const ArticleCharsets &charsets)
{
    QByteArray charset = charsets.headerCharset;
    const char letter = charsets.headerEncoding;
    bool representable = false;
    encodeInCharset(run, charset, &representable);
    if (!representable)
        charset = utf8;
    const bool shifted = charset.compare("ISO-2022-JP", Qt::CaseInsensitive) == 0;
    return (shifted ? encodeShifted(run, charset, letter) : encodeStateless(run, charset, letter)).join(' ');
}

} // namespace

QByteArray encode(const QString &text, const ArticleCharsets &charsets, Context context)
{
    const QStringList words = text.split(QLatin1Char(' '));
    QList<bool> encodeWord(words.size());
    bool any = false;
    for (qsizetype i = 0; i < words.size(); ++i) {
        encodeWord[i] = wordNeedsEncoding(words.at(i), context);
        any = any || encodeWord[i];
    }
    if (!any)
        return text.toLatin1();

    // Blank space between two encoded-words is dropped by decoders, so blanks
    // that stand only between encoded words go inside the encoded text.
    for (qsizetype i = 0; i < words.size(); ++i) {
        if (!words.at(i).isEmpty())
            continue;
        qsizetype before = i - 1;
        while (before >= 0 && words.at(before).isEmpty())
            --before;
        qsizetype after = i + 1;
        while (after < words.size() && words.at(after).isEmpty())
            ++after;
        encodeWord[i] = before >= 0 && after < words.size() && encodeWord[before] && encodeWord[after];
    }

    QList<QByteArray> out;
    for (qsizetype i = 0; i < words.size();) {
        if (!encodeWord[i]) {
            out.append(words.at(i).toLatin1());
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < words.size() && encodeWord[end])
            ++end;
        out.append(encodeRun(words.mid(i, end - i).join(QLatin1Char(' ')), charsets));
        i = end;
    }
    return out.join(' ');
}

QString singleLine(const QString &value)
{
    QString line = value;
    line.replace(QLatin1Char('\r'), QLatin1Char(' '));
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return line;
}

bool needsEncoding(const QString &text)
{
    for (QChar c : text) {
        if (isControlOrNonAscii(c))
            return true;
    }
    return false;
}

} // namespace HeaderEncoding
