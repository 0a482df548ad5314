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
#include <memory>
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
    void setUnreadBelow(int count) { m_unreadBelow = count; }

    // The node's entry among the threads its folder was loaded with
    // (FolderThreads); -1 for a node added after the load or shown flat.
    int entry() const { return m_entry; }
    void setEntry(int entry) { m_entry = entry; }

    // Sets the "Sent" column by its date: the sort key is kept and the text is
    // made from it when it is shown; an invalid date leaves it empty.
    void setSent(QDate date, QTime time);
    // Sets the "Subject", "From" and "Source" texts at once.
    void setTexts(const QString &subject, const QString &from, const QString &source);
    SentDate::Key sentKey() const { return m_sentKey; }

    QVariant data(int column, int role) const override;
    void setData(int column, int role, const QVariant &value) override;
    bool operator<(const QTreeWidgetItem &other) const override;

    // The order of two nodes by one column, ascending.
    static bool lessThan(const ArticleItem &a, const ArticleItem &b, int column);

private:
    const QCollatorSortKey &textKey(int column) const;

    using TextKeys = std::array<std::optional<QCollatorSortKey>, ColumnCount>;

    // The column texts live here rather than in the item's own lists of
    // values, which cost several times as much for a tree of many nodes.
    std::array<QString, ColumnCount> m_texts;
    TItemRec m_rec;
    bool m_bold = false;
    bool m_sentAsText = false; // "Sent" set as a text, not made from the key
    int m_unreadBelow = 0;
    int m_entry = -1;
    SentDate::Key m_sentKey;
    // Made when a text column is first sorted by.
    mutable std::unique_ptr<TextKeys> m_textKeys;
};
