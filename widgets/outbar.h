#pragma once
// An Outlook-style folder bar: groups shown as header buttons, the items of the
// open group as large pictures above their captions. One group is open at a
// time; clicking another group's header opens it.
//
// The current index is the row of the selected item within the open group, -1
// while nothing is selected. currentChanged fires only when it changes, so
// selecting the item that is already selected does nothing.

#include <QIcon>
#include <QString>
#include <QWidget>
#include <vector>

class QListWidget;
class QToolButton;
class QVBoxLayout;

class OutBar : public QWidget
{
    Q_OBJECT
public:
    explicit OutBar(QWidget *parent = nullptr);

    // Adds a group and returns its index; the first group is opened.
    int addGroup(const QString &caption);
    // Adds an item to a group and returns its row there.
    int addItem(int group, const QString &caption, const QIcon &icon);

    int groupCount() const { return int(m_groups.size()); }
    int itemCount(int group) const;
    QString itemCaption(int group, int row) const;
    int openGroup() const { return m_open; }
    void setOpenGroup(int group);

    int currentIndex() const;
    // Selects a row of the open group; -1 clears the selection.
    void setCurrentIndex(int row);

    QSize iconSize() const { return m_iconSize; }
    void setIconSize(const QSize &size);

    QSize sizeHint() const override;

signals:
    void currentChanged(int row);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    struct Group
    {
        QToolButton *header;
        QListWidget *items;
    };
    void onSelectionChanged(QListWidget *list);
    void layoutCells();

    QVBoxLayout *m_layout;
    std::vector<Group> m_groups;
    int m_open = -1;
    int m_reported = -1;
    QSize m_iconSize{30, 30};
};
