#pragma once
// A sorted list of names that compares them without regard to letter case, in
// the user's locale, and ignores a name equal to one already listed: the
// newsgroup list of a message or a retrieval run, and the failed-host list.

#include <QCollator>
#include <QStringList>

class NameList
{
public:
    NameList();

    // Adds the name at its sorted place; false (and nothing added) when an
    // equal name is listed already.
    bool add(const QString &name);
    bool contains(const QString &name) const;
    void clear() { m_names.clear(); }

    const QStringList &names() const { return m_names; }
    qsizetype size() const { return m_names.size(); }
    bool isEmpty() const { return m_names.isEmpty(); }

private:
    // Index of the first listed name not sorting before name.
    qsizetype lowerBound(const QString &name) const;

    QCollator m_collator;
    QStringList m_names;
};
