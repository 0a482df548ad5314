#pragma once
// A node of the message tree: its record (TItemRec), its own bold mark, the
// count of unread messages in its subtree that answers HasUnread at once, and
// the keys its columns sort by.
//
// Columns: 0 "Subject", 1 "Sent", 2 "From", 3 "Source". Text columns compare
// without regard to case in the user's locale; "Sent" compares the date its
// text stands for, and a text that is no date sorts before every date.

#include "shell/itemrec.h"
#include "messagelist/sentdate.h"

#include <QCollatorSortKey>
#include <QTreeWidgetItem>
#include <array>
#include <optional>

class ArticleItem : public QTreeWidgetItem
{
public:
    enum Column { SubjectColumn = 0, SentColumn = 1, FromColumn = 2, SourceColumn = 3, ColumnCount = 4 };
    static constexpr int Type = QTreeWidgetItem::UserType + 1;

    explicit ArticleItem(const TItemRec &rec);

    TItemRec &rec() { return m_rec; }
    const TItemRec &rec() const { return m_rec; }

    static ArticleItem *from(QTreeWidgetItem *item);
    ArticleItem *parentNode() const { return from(parent()); }
    ArticleItem *childNode(int index) const { return from(child(index)); }

    bool isBold() const { return m_bold; }
    void setBold(bool bold);

    // Unread records in this node's subtree, the node's own included.
    int unreadBelow() const { return m_unreadBelow; }
    void addUnreadBelow(int delta) { m_unreadBelow += delta; }

    // Sets the "Sent" text of a date together with its sort key (the value the
    // text converts back to), sparing the conversion; an invalid date leaves it empty.
    void setSent(QDate date, QTime time);
    SentDate::Key sentKey() const { return m_sentKey; }

    QVariant data(int column, int role) const override;
    void setData(int column, int role, const QVariant &value) override;
    bool operator<(const QTreeWidgetItem &other) const override;

    // The order of two nodes by one column, ascending.
    static bool lessThan(const ArticleItem &a, const ArticleItem &b, int column);

private:
    const QCollatorSortKey &textKey(int column) const;

    TItemRec m_rec;
    bool m_bold = false;
    int m_unreadBelow = 0;
    SentDate::Key m_sentKey;
    mutable std::array<std::optional<QCollatorSortKey>, ColumnCount> m_textKeys;
};
