#include "shell/articleitem.h"

#include <QCollator>
#include <QFont>
#include <QTreeWidget>

namespace {
const QCollator &collator()
{
    static const QCollator instance = [] {
        QCollator c(QLocale::system());
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return instance;
}

// The C locale's sort keys are the bare code units whatever the case
// sensitivity asked for, so there the text is case-folded first.
QCollatorSortKey caseBlindKey(const QString &text)
{
    static const bool plainC = QLocale::system().language() == QLocale::C;
    return collator().sortKey(plainC ? text.toCaseFolded() : text);
}
} // namespace

ArticleItem::ArticleItem(const TItemRec &rec)
    : QTreeWidgetItem(Type)
    , m_rec(rec)
    , m_unreadBelow(rec.IsRead ? 0 : 1)
{}

ArticleItem *ArticleItem::from(QTreeWidgetItem *item)
{
    return item && item->type() == Type ? static_cast<ArticleItem *>(item) : nullptr;
}

void ArticleItem::setBold(bool bold)
{
    if (m_bold == bold)
        return;
    m_bold = bold;
    emitDataChanged();
}

void ArticleItem::setSent(QDate date, QTime time)
{
    m_sentAsText = false;
    m_texts[SentColumn].clear();
    m_sentKey = SentDate::key(date, time);
    emitDataChanged();
}

void ArticleItem::setTexts(const QString &subject, const QString &from, const QString &source)
{
    m_texts[SubjectColumn] = subject;
    m_texts[FromColumn] = from;
    m_texts[SourceColumn] = source;
    m_textKeys.reset();
    emitDataChanged();
}

namespace {
bool isText(int role)
{
    return role == Qt::DisplayRole || role == Qt::EditRole;
}

// The column text of a sort key (whole seconds of the wall clock).
QString sentText(const SentDate::Key &key)
{
    if (!key)
        return QString();
    const qint64 seconds = *key % 86400;
    return SentDate::format(QDate::fromJulianDay(*key / 86400), QTime::fromMSecsSinceStartOfDay(int(seconds) * 1000));
}
} // namespace

QVariant ArticleItem::data(int column, int role) const
{
    if (isText(role) && column >= 0 && column < ColumnCount) {
        if (column == SentColumn && !m_sentAsText)
            return sentText(m_sentKey);
        return m_texts[column];
    }
    if (role == Qt::FontRole && m_bold) {
        QFont font = treeWidget() ? treeWidget()->font() : QFont();
        font.setBold(true);
        return font;
    }
    // Bold says "unread" to the eye; screen readers get it said in words.
    if (role == Qt::AccessibleDescriptionRole && column == SubjectColumn) {
        if (!m_rec.IsRead)
            return QStringLiteral("unread");
        if (m_bold)
            return QStringLiteral("unread answers below");
        return QString();
    }
    return QTreeWidgetItem::data(column, role);
}

void ArticleItem::setData(int column, int role, const QVariant &value)
{
    if (!isText(role) || column < 0 || column >= ColumnCount) {
        QTreeWidgetItem::setData(column, role, value);
        return;
    }
    m_texts[column] = value.toString();
    if (column == SentColumn) {
        m_sentAsText = true;
        m_sentKey = SentDate::key(SentDate::parse(m_texts[column]));
    } else if (m_textKeys) {
        (*m_textKeys)[column].reset();
    }
    emitDataChanged();
}

const QCollatorSortKey &ArticleItem::textKey(int column) const
{
    if (!m_textKeys)
        m_textKeys = std::make_unique<TextKeys>();
    std::optional<QCollatorSortKey> &key = (*m_textKeys)[column];
    if (!key)
        key.emplace(caseBlindKey(m_texts[column]));
    return *key;
}

bool ArticleItem::lessThan(const ArticleItem &a, const ArticleItem &b, int column)
{
    if (column == SentColumn) {
        // A text that is no date sorts before every date.
        if (!a.m_sentKey || !b.m_sentKey)
            return !a.m_sentKey && b.m_sentKey;
        return *a.m_sentKey < *b.m_sentKey;
    }
    if (column < 0 || column >= ColumnCount)
        return false;
    return a.textKey(column).compare(b.textKey(column)) < 0;
}

bool ArticleItem::operator<(const QTreeWidgetItem &other) const
{
    const ArticleItem *that = from(const_cast<QTreeWidgetItem *>(&other));
    if (!that)
        return QTreeWidgetItem::operator<(other);
    const int column = treeWidget() ? treeWidget()->sortColumn() : SentColumn;
    return lessThan(*this, *that, column);
}
