#include "tests/support/encodedwords.h"

#include <QRegularExpression>
#include <QStringDecoder>

namespace {

QByteArray decodeQ(const QByteArray &text, bool *ok)
{
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c == '_') {
            out += ' ';
        } else if (c == '=' && i + 2 < text.size()) {
            bool hex = false;
            out += char(text.mid(i + 1, 2).toInt(&hex, 16));
            *ok = *ok && hex;
            i += 2;
        } else if (c == '=') {
            *ok = false;
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

QString decodeEncodedWords(const QByteArray &value, bool *ok)
{
    bool good = true;
    static const QRegularExpression word(QStringLiteral("=\\?([^?]+)\\?([QqBb])\\?([^?]*)\\?="));
    const QString text = QString::fromLatin1(value);
    QString result;
    qsizetype pos = 0;
    bool lastWasEncoded = false;
    QRegularExpressionMatchIterator it = word.globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        const QString between = text.mid(pos, m.capturedStart() - pos);
        if (!(lastWasEncoded && between.trimmed().isEmpty()))
            result += between;
        const QByteArray encoded = m.captured(3).toLatin1();
        const QByteArray bytes
            = m.captured(2).toUpper() == QLatin1String("B") ? QByteArray::fromBase64(encoded) : decodeQ(encoded, &good);
        QStringDecoder decoder(m.captured(1).toLatin1().constData());
        if (!decoder.isValid())
            good = false;
        else
            result += decoder.decode(bytes);
        good = good && !decoder.hasError();
        pos = m.capturedEnd();
        lastWasEncoded = true;
    }
    result += text.mid(pos);
    if (ok)
        *ok = good;
    return result;
}
