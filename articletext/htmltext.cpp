#include "articletext/htmltext.h"

#include <QHash>
#include <QRegularExpression>

namespace HtmlText {
namespace {

struct Tag
{
    QString name; // lower case, without the "/" of a closing tag
    bool closing = false;
    qsizetype end = 0; // index past the ">"
};

// The tag at html[from] == '<'; an unclosed tag runs to the end.
Tag readTag(const QString &html, qsizetype from)
{
    Tag tag;
    qsizetype i = from + 1;
    if (i < html.size() && html.at(i) == QLatin1Char('/')) {
        tag.closing = true;
        ++i;
    }
    const qsizetype nameStart = i;
    while (i < html.size() && (html.at(i).isLetterOrNumber() || html.at(i) == QLatin1Char('!')))
        ++i;
    tag.name = html.mid(nameStart, i - nameStart).toLower();
    // Quoted attribute values may hold ">".
    QChar quote;
    for (; i < html.size(); ++i) {
        const QChar c = html.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (c == QLatin1Char('>')) {
            break;
        }
    }
    tag.end = qMin(i + 1, html.size());
    return tag;
}

QString entity(const QString &name)
{
    static const QHash<QString, QChar> named{
        {QStringLiteral("amp"), QLatin1Char('&')},   {QStringLiteral("lt"), QLatin1Char('<')},
        {QStringLiteral("gt"), QLatin1Char('>')},    {QStringLiteral("quot"), QLatin1Char('"')},
        {QStringLiteral("apos"), QLatin1Char('\'')}, {QStringLiteral("nbsp"), QChar(0xA0)},
        {QStringLiteral("copy"), QChar(0xA9)},       {QStringLiteral("reg"), QChar(0xAE)},
        {QStringLiteral("euro"), QChar(0x20AC)},     {QStringLiteral("mdash"), QChar(0x2014)},
        {QStringLiteral("ndash"), QChar(0x2013)},    {QStringLiteral("hellip"), QChar(0x2026)},
        {QStringLiteral("laquo"), QChar(0xAB)},      {QStringLiteral("raquo"), QChar(0xBB)},
        {QStringLiteral("lsquo"), QChar(0x2018)},    {QStringLiteral("rsquo"), QChar(0x2019)},
        {QStringLiteral("ldquo"), QChar(0x201C)},    {QStringLiteral("rdquo"), QChar(0x201D)},
        {QStringLiteral("eacute"), QChar(0xE9)},     {QStringLiteral("egrave"), QChar(0xE8)},
        {QStringLiteral("agrave"), QChar(0xE0)},     {QStringLiteral("auml"), QChar(0xE4)},
        {QStringLiteral("ouml"), QChar(0xF6)},       {QStringLiteral("uuml"), QChar(0xFC)},
        {QStringLiteral("szlig"), QChar(0xDF)},      {QStringLiteral("ccedil"), QChar(0xE7)},
    };
    if (name.startsWith(QLatin1Char('#'))) {
        bool ok = false;
        const uint code = name.startsWith(QLatin1String("#x"), Qt::CaseInsensitive) ? name.mid(2).toUInt(&ok, 16)
                                                                                    : name.mid(1).toUInt(&ok, 10);
        if (!ok || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return QString(QChar(0xFFFD));
        const char32_t c = code;
        return QString::fromUcs4(&c, 1);
    }
    const auto it = named.constFind(name);
    return it == named.cend() ? QString() : QString(*it);
}

bool isBlock(const QString &name)
{
    static const QStringList blocks{QStringLiteral("p"),     QStringLiteral("div"),        QStringLiteral("tr"),
                                    QStringLiteral("table"), QStringLiteral("blockquote"), QStringLiteral("ul"),
                                    QStringLiteral("ol"),    QStringLiteral("pre"),        QStringLiteral("hr"),
                                    QStringLiteral("h1"),    QStringLiteral("h2"),         QStringLiteral("h3"),
                                    QStringLiteral("h4"),    QStringLiteral("h5"),         QStringLiteral("h6")};
    return blocks.contains(name);
}

class Converter
{
public:
    explicit Converter(const QString &html)
        : m_html(html)
    {}

    QString run()
    {
        qsizetype i = 0;
        while (i < m_html.size()) {
            const QChar c = m_html.at(i);
            if (c == QLatin1Char('<'))
                i = tag(i);
            else if (c == QLatin1Char('&'))
                i = reference(i);
            else {
                text(c);
                ++i;
            }
        }
        return finish();
    }

private:
    qsizetype tag(qsizetype at)
    {
        if (m_html.mid(at, 4) == QLatin1String("<!--")) {
            const qsizetype end = m_html.indexOf(QLatin1String("-->"), at + 4);
            return end < 0 ? m_html.size() : end + 3;
        }
        const QChar next = at + 1 < m_html.size() ? m_html.at(at + 1) : QChar();
        if (!next.isLetter() && next != QLatin1Char('/') && next != QLatin1Char('!')) {
            m_out += QLatin1Char('<'); // a "<" of the text, badly written
            return at + 1;
        }
        const Tag t = readTag(m_html, at);
        const QString &name = t.name;
        if (!t.closing
            && (name == QLatin1String("script") || name == QLatin1String("style") || name == QLatin1String("head")
                || name == QLatin1String("title"))) {
            const qsizetype end = m_html.indexOf(QLatin1String("</") + name, t.end, Qt::CaseInsensitive);
            return end < 0 ? m_html.size() : readTag(m_html, end).end;
        }
        if (name == QLatin1String("br"))
            lineBreak();
        else if (name == QLatin1String("li") && !t.closing) {
            lineBreak();
            m_out += QStringLiteral("* ");
        } else if (name == QLatin1String("td") && !t.closing && !m_out.endsWith(QLatin1Char('\n')))
            m_out += QLatin1Char('\t');
        else if (isBlock(name)) {
            if (name == QLatin1String("pre"))
                m_pre = !t.closing;
            paragraphBreak();
        }
        return t.end;
    }

    qsizetype reference(qsizetype at)
    {
        const qsizetype end = m_html.indexOf(QLatin1Char(';'), at + 1);
        if (end > at + 1 && end - at <= 12) {
            const QString replacement = entity(m_html.mid(at + 1, end - at - 1));
            if (!replacement.isEmpty()) {
                m_out += replacement;
                return end + 1;
            }
        }
        m_out += QLatin1Char('&');
        return at + 1;
    }

    void text(QChar c)
    {
        if (m_pre) {
            if (c != QLatin1Char('\r'))
                m_out += c;
            return;
        }
        if (c.isSpace()) {
            if (!m_out.isEmpty() && !m_out.endsWith(QLatin1Char(' ')) && !m_out.endsWith(QLatin1Char('\n')))
                m_out += QLatin1Char(' ');
            return;
        }
        m_out += c;
    }

    void lineBreak()
    {
        while (m_out.endsWith(QLatin1Char(' ')))
            m_out.chop(1);
        m_out += QLatin1Char('\n');
    }

    void paragraphBreak()
    {
        if (m_out.isEmpty())
            return;
        lineBreak();
        if (!m_out.endsWith(QLatin1String("\n\n")))
            m_out += QLatin1Char('\n');
    }

    QString finish()
    {
        static const QRegularExpression blanksAtEnd(QStringLiteral("[ \\t]+\\n"));
        static const QRegularExpression manyBreaks(QStringLiteral("\\n{3,}"));
        m_out.replace(blanksAtEnd, QStringLiteral("\n"));
        m_out.replace(manyBreaks, QStringLiteral("\n\n"));
        m_out.replace(QChar(0xA0), QLatin1Char(' '));
        return m_out.trimmed() + QLatin1Char('\n');
    }

    const QString &m_html;
    QString m_out;
    bool m_pre = false;
};

} // namespace

QString toPlainText(const QString &html)
{
    return Converter(html).run();
}

} // namespace HtmlText
