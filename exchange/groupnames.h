#pragma once
// The names known to be in table Groups while newsgroup lists load, compared
// without regard to letter case, each with the `Code` of its row. The list
// loader asks it for every listed name, so that only names not yet in the store
// cost an insert, and so that a known name's row needs no look-up in the store;
// a hash of the case-folded names answers in constant time however long the
// list is.

#include <QHash>
#include <QString>

class GroupNames
{
public:
    bool contains(const QString &name) const { return m_codes.contains(name.toCaseFolded()); }
    // The code of the row of name (in any letter case); 0 when unknown.
    int code(const QString &name) const { return m_codes.value(name.toCaseFolded()); }
    // A name already held (in any letter case) keeps its first code: lookups by
    // name take the first match.
    void insert(const QString &name, int code)
    {
        const QString key = name.toCaseFolded();
        if (!m_codes.contains(key))
            m_codes.insert(key, code);
    }
    // Gives a name held already (in any letter case) another code.
    void setCode(const QString &name, int code) { m_codes[name.toCaseFolded()] = code; }
    void remove(const QString &name) { m_codes.remove(name.toCaseFolded()); }
    qsizetype size() const { return m_codes.size(); }
    bool isEmpty() const { return m_codes.isEmpty(); }
    void clear() { m_codes.clear(); }

private:
    QHash<QString, int> m_codes;
};
