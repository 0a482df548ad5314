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
#include <unordered_map>

class GroupNames
{
public:
    // The key of a name, valid until the next keyOf.
    std::string_view keyOf(QByteArrayView utf8);
    std::string_view keyOf(const QString &name);

    // Where the code of a held key is kept; it stays put while the set grows.
    // Null when the key is not held.
    int *find(std::string_view key);
    // Holds a key not held yet; returns where its code is kept.
    int *add(std::string_view key, int code);

    bool contains(const QString &name) { return find(keyOf(name)) != nullptr; }
    // The code of the row of name (in any letter case); 0 when unknown.
    int code(const QString &name);
    // A name already held (in any letter case) keeps its first code: lookups by
    // name take the first match.
    void insert(const QString &name, int code);
    // Gives a name held already (in any letter case) another code.
    void setCode(const QString &name, int code);
    void remove(const QString &name);
    qsizetype size() const { return qsizetype(m_codes.size()); }
    bool isEmpty() const { return m_codes.empty(); }
    void clear() { m_codes.clear(); }
    void reserve(qsizetype names) { m_codes.reserve(size_t(names)); }

private:
    struct KeyHash
    {
        using is_transparent = void;
        size_t operator()(std::string_view key) const { return std::hash<std::string_view>()(key); }
    };

    std::unordered_map<std::string, int, KeyHash, std::equal_to<>> m_codes;
    std::string m_key; // the last key made, reused to spare an allocation per name
};
