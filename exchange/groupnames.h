#pragma once
// The names known to be in table Groups while newsgroup lists load, compared
// without regard to letter case. The list loader asks it for every listed
// name, so that only names not yet in the store cost an insert; a hash of the
// case-folded names answers in constant time however long the list is.

#include <QSet>
#include <QString>

class GroupNames
{
public:
    bool contains(const QString &name) const { return m_folded.contains(name.toCaseFolded()); }
    // A name already held (in any letter case) is ignored.
    void insert(const QString &name) { m_folded.insert(name.toCaseFolded()); }
    qsizetype size() const { return m_folded.size(); }
    bool isEmpty() const { return m_folded.isEmpty(); }
    void clear() { m_folded.clear(); }

private:
    QSet<QString> m_folded;
};
