#pragma once
// What the category window tests share: seeding categories, newsgroups and
// links, describing a category tree as text, and finding nodes.

#include "directories/categorytreemodel.h"

#include <QModelIndex>
#include <QString>
#include <QStringList>

namespace CategoryTesting {

inline QString category(int code, int parent, bool isCategory, const QString &name)
{
    return QStringLiteral("INSERT INTO Categories (Code, Parent, Kind, Name) VALUES (%1, %2, %3, '%4');")
        .arg(code)
        .arg(parent)
        .arg(isCategory ? -1 : 0)
        .arg(name);
}

inline QString groups(const QStringList &names)
{
    QString sql;
    for (const QString &name : names)
        sql += QStringLiteral("INSERT INTO Groups (GroupName) VALUES ('%1');").arg(name);
    return sql;
}

inline QString link(int category, const QString &group)
{
    return QStringLiteral("INSERT INTO GroupCategory (Newsgroup, Category)"
                          " SELECT Code, %1 FROM Groups WHERE GroupName = '%2';")
        .arg(category)
        .arg(group);
}

// A node as "Caption", a folder as "Caption/", followed by its children in
// parentheses: "All(Hardware/(Misc),Databases)".
inline QString describe(const CategoryTreeModel &tree, const QModelIndex &node)
{
    QString text = tree.caption(node);
    if (tree.kind(node) == CategoryTreeModel::Kind::Folder)
        text += QLatin1Char('/');
    QStringList children;
    for (int i = 0; i < tree.rowCount(node); ++i)
        children << describe(tree, tree.index(i, 0, node));
    if (!children.isEmpty())
        text += QLatin1Char('(') + children.join(QLatin1Char(',')) + QLatin1Char(')');
    return text;
}

inline QString describe(const CategoryTreeModel &tree)
{
    return tree.rootIndex().isValid() ? describe(tree, tree.rootIndex()) : QString();
}

// The node reached from the root by captions, e.g. {"Hardware", "Misc"}.
inline QModelIndex nodeAt(const CategoryTreeModel &tree, const QStringList &captions)
{
    QModelIndex node = tree.rootIndex();
    for (const QString &caption : captions) {
        QModelIndex next;
        for (int i = 0; i < tree.rowCount(node) && !next.isValid(); ++i) {
            if (tree.caption(tree.index(i, 0, node)) == caption)
                next = tree.index(i, 0, node);
        }
        if (!next.isValid())
            return {};
        node = next;
    }
    return node;
}

// Hardware (1) holds Misc (2) and Disks (5), which holds SCSI (6); Databases
// (3) and Software (4) lie under the root. Misc has comp.os.linux, Databases
// has comp.lang.c.
inline const QStringList kGroupNames{"alt.test",      "comp.lang.c",  "comp.lang.c++",
                                     "comp.os.linux", "de.comp.lang", "sci.math"};

inline QString sampleTree()
{
    return category(1, 0, false, "Hardware") + category(2, 1, true, "Misc") + category(3, 0, true, "Databases")
        + category(4, 0, false, "Software") + category(5, 1, false, "Disks") + category(6, 5, true, "SCSI");
}

inline QString sampleStore()
{
    return sampleTree() + groups(kGroupNames) + link(2, "comp.os.linux") + link(3, "comp.lang.c");
}

} // namespace CategoryTesting
