#include "store/jetsql.h"

#include <QTimeZone>

namespace JetSql {
namespace {

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

// Calls onWord(start, length) for every bare word of the statement, skipping
// string literals ('...'), quoted names ("...", [...]) and comments.
template<typename OnWord>
void forEachWord(const QString &sql, OnWord onWord)
{
    const qsizetype n = sql.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = sql[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('[')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : c;
            ++i;
            while (i < n && sql[i] != close)
                ++i;
            ++i;
        } else if (c == QLatin1Char('-') && i + 1 < n && sql[i + 1] == QLatin1Char('-')) {
            while (i < n && sql[i] != QLatin1Char('\n'))
                ++i;
        } else if (isWordChar(c) || c == QLatin1Char(':')) {
            const qsizetype start = i;
            ++i;
            while (i < n && isWordChar(sql[i]))
                ++i;
            onWord(start, i - start);
        } else {
            ++i;
        }
    }
}

} // namespace

QString toSqlite(const QString &statement)
{
    QString out;
    out.reserve(statement.size());
    qsizetype copied = 0;
    forEachWord(statement, [&](qsizetype start, qsizetype length) {
        const QStringView word = QStringView(statement).mid(start, length);
        const char *literal = nullptr;
        if (word.compare(u"true", Qt::CaseInsensitive) == 0)
            literal = "-1";
        else if (word.compare(u"false", Qt::CaseInsensitive) == 0)
            literal = "0";
        if (!literal)
            return;
        out += QStringView(statement).mid(copied, start - copied);
        out += QLatin1String(literal);
        copied = start + length;
    });
    out += QStringView(statement).mid(copied);
    return out;
}

QStringList parameterNames(const QString &statement)
{
    QStringList names;
    forEachWord(statement, [&](qsizetype start, qsizetype length) {
        if (statement[start] != QLatin1Char(':') || length < 2)
            return;
        const QString name = statement.mid(start + 1, length - 1);
        if (!names.contains(name, Qt::CaseInsensitive))
            names << name;
    });
    return names;
}

QString baseTable(const QString &statement)
{
    bool afterFrom = false;
    QString table;
    forEachWord(statement, [&](qsizetype start, qsizetype length) {
        if (!table.isEmpty())
            return;
        const QStringView word = QStringView(statement).mid(start, length);
        if (afterFrom)
            table = word.toString();
        else
            afterFrom = word.compare(u"from", Qt::CaseInsensitive) == 0;
    });
    return table;
}

namespace {

// A lone UTF-16 surrogate (pasted, or half of a pair a field's length limit
// cut) becomes U+FFFD: the conversion to UTF-8 would pair it with the
// character after it, changing both.
QString storable(const QString &text)
{
    if (text.isValidUtf16())
        return text;
    QString sound = text;
    for (qsizetype i = 0; i < sound.size(); ++i) {
        if (sound.at(i).isHighSurrogate() && i + 1 < sound.size() && sound.at(i + 1).isLowSurrogate())
            ++i;
        else if (sound.at(i).isSurrogate())
            sound[i] = QChar::ReplacementCharacter;
    }
    return sound;
}

} // namespace

QVariant toStored(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QString:
        return value.isNull() ? value : QVariant(storable(value.toString()));
    case QMetaType::Bool:
        return value.toBool() ? -1 : 0;
    case QMetaType::QDateTime:
        return value.toDateTime().isValid() ? QVariant(value.toDateTime().toString(QLatin1String(kDateFormat)))
                                            : QVariant();
    case QMetaType::QDate:
        return value.toDate().isValid() ? QVariant(value.toDate().startOfDay().toString(QLatin1String(kDateFormat)))
                                        : QVariant();
    default:
        return value;
    }
}

int toInt(const QVariant &value)
{
    return value.isNull() ? 0 : value.toInt();
}

QString toText(const QVariant &value)
{
    return value.isNull() ? QString() : value.toString();
}

bool toBool(const QVariant &value)
{
    if (value.isNull())
        return false;
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    return value.toLongLong() != 0;
}

QDateTime toDateTime(const QVariant &value)
{
    if (value.isNull())
        return {};
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime();
    const QString text = value.toString();
    QDateTime when = QDateTime::fromString(text, QLatin1String(kDateFormat));
    if (!when.isValid())
        when = QDateTime::fromString(text, Qt::ISODate);
    if (!when.isValid()) {
        // A wall-clock time the local clock skipped (the spring change) has no
        // local value; keep the time as written rather than losing the date.
        const QDateTime utc
            = QDateTime::fromString(text + QLatin1String("Z"), QLatin1String(kDateFormat) + QLatin1String("t"));
        if (utc.isValid())
            when = QDateTime(utc.date(), utc.time(), QTimeZone::utc());
    }
    return when;
}

} // namespace JetSql
