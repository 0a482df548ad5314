#pragma once
// The names known to be in table Groups while newsgroup lists load, compared
// without regard to letter case, each with the `Code` of its row. The list
// loader asks it for every listed name, so that only names not yet in the store
// cost an insert, and so that a known name's row needs no look-up in the store;
// a hash of the case-folded names answers in constant time however long the
// list is.
//
// A name is held under its key: its UTF-8 bytes case-folded. A list names
// ASCII only, which folds byte by byte, so the loader folds each listed name
// once, in place, and hashes bytes; other names fold as QString::toCaseFolded.

#include <QByteArrayView>
#include <QString>

#include <string>
#include <string_view>
#include <vector>

class GroupNames
{
public:
    // A held name's place; stays valid while the set grows.
    using Entry = qsizetype;
    static constexpr Entry None = -1;

    // The key of a name, valid until the next keyOf.
    std::string_view keyOf(QByteArrayView utf8);
    std::string_view keyOf(const QString &name);

    // The entry of a held key; None when the key is not held.
    Entry find(std::string_view key) const;
    // Holds a key not held yet.
    Entry add(std::string_view key, int code);
    int codeAt(Entry entry) const { return m_codes[size_t(entry)]; }
    void setCodeAt(Entry entry, int code) { m_codes[size_t(entry)] = code; }

    bool contains(const QString &name) { return find(keyOf(name)) != None; }
    // The code of the row of name (in any letter case); 0 when unknown.
    int code(const QString &name);
    // A name already held (in any letter case) keeps its first code: lookups by
    // name take the first match.
    void insert(const QString &name, int code);
    // Gives a name held already (in any letter case) another code.
    void setCode(const QString &name, int code);
    void remove(const QString &name);
    qsizetype size() const { return qsizetype(m_codes.size()) - m_removedCount; }
    bool isEmpty() const { return size() == 0; }
    void clear();

private:
    // An open-addressed table of entry numbers with their keys' hashes: a
    // look-up reads the table and one key, where a table of nodes would read
    // a node, its key and more; the keys lie end to end in one block.
    struct Slot
    {
        quint32 hash = 0;
        qint32 entry = -1; // -1: empty
    };
    static quint32 hashOf(std::string_view key);
    Entry findInTable(std::string_view key) const;
    std::string_view keyAt(Entry entry) const;
    void grow();

    std::vector<Slot> m_slots; // a power of two long, at most half full
    std::string m_keys;
    std::vector<quint32> m_keyEnds; // per entry, where its key ends in m_keys
    std::vector<int> m_codes; // per entry
    std::vector<bool> m_removed; // per entry
    qsizetype m_removedCount = 0;
    std::string m_key; // the last key made, reused to spare an allocation per name
    // The entry the last look-up found, and whether it followed the one
    // before. A list comes in the order it came before, which is the order
    // its names were held in: the entry after the last is tried before the
    // table, whose slot for a name is a cache miss in a list of 100,000.
    mutable Entry m_lastFound = None;
    mutable bool m_inOrder = false;
};
