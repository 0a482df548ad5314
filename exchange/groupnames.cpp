#include "exchange/groupnames.h"

#include <QHash>

#include <algorithm>

namespace {

bool isAscii(QByteArrayView bytes)
{
    for (const char c : bytes) {
        if (uchar(c) >= 0x80)
            return false;
    }
    return true;
}

// ASCII folds to lower case and nothing else: the same key toCaseFolded gives.
void foldAscii(QByteArrayView bytes, std::string &key)
{
    key.resize(size_t(bytes.size()));
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        key[size_t(i)] = c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
    }
}

void foldText(const QString &name, std::string &key)
{
    const QByteArray folded = name.toCaseFolded().toUtf8();
    key.assign(folded.constData(), size_t(folded.size()));
}

} // namespace

std::string_view GroupNames::keyOf(QByteArrayView utf8)
{
    if (isAscii(utf8))
        foldAscii(utf8, m_key);
    else
        foldText(QString::fromUtf8(utf8), m_key);
    return m_key;
}

std::string_view GroupNames::keyOf(const QString &name)
{
    bool ascii = true;
    for (const QChar c : name) {
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (!ascii) {
        foldText(name, m_key);
        return m_key;
    }
    m_key.resize(size_t(name.size()));
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char c = char(name.at(i).unicode());
        m_key[size_t(i)] = c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
    }
    return m_key;
}

quint32 GroupNames::hashOf(std::string_view key)
{
    return quint32(qHash(QByteArrayView(key.data(), qsizetype(key.size()))));
}

std::string_view GroupNames::keyAt(Entry entry) const
{
    const size_t begin = entry == 0 ? 0 : m_keyEnds[size_t(entry) - 1];
    return std::string_view(m_keys).substr(begin, m_keyEnds[size_t(entry)] - begin);
}

GroupNames::Entry GroupNames::find(std::string_view key) const
{
    const Entry next = m_lastFound + 1;
    if (m_inOrder && next < Entry(m_codes.size()) && !m_removed[size_t(next)] && keyAt(next) == key)
        return m_lastFound = next;
    const Entry entry = findInTable(key);
    // Out of order, the next entry is tried again only once the table has
    // found it: a list in another order would pay for a wasted key
    // comparison on every name.
    m_inOrder = entry != None && entry == next;
    if (entry != None)
        m_lastFound = entry;
    return entry;
}

GroupNames::Entry GroupNames::findInTable(std::string_view key) const
{
    if (m_slots.empty())
        return None;
    const quint32 hash = hashOf(key);
    const size_t mask = m_slots.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot &slot = m_slots[i];
        if (slot.entry < 0)
            return None;
        if (slot.hash == hash && keyAt(slot.entry) == key && !m_removed[size_t(slot.entry)])
            return slot.entry;
    }
}

GroupNames::Entry GroupNames::add(std::string_view key, int code)
{
    if ((m_codes.size() + 1) * 2 > m_slots.size())
        grow();
    const Entry entry = Entry(m_codes.size());
    m_keys.append(key);
    m_keyEnds.push_back(quint32(m_keys.size()));
    m_codes.push_back(code);
    m_removed.push_back(false);
    const quint32 hash = hashOf(key);
    const size_t mask = m_slots.size() - 1;
    size_t i = hash & mask;
    while (m_slots[i].entry >= 0)
        i = (i + 1) & mask;
    m_slots[i] = Slot{hash, qint32(entry)};
    return entry;
}

void GroupNames::grow()
{
    std::vector<Slot> wider(std::max<size_t>(1024, m_slots.size() * 2));
    const size_t mask = wider.size() - 1;
    for (const Slot &slot : m_slots) {
        if (slot.entry < 0)
            continue;
        size_t i = slot.hash & mask;
        while (wider[i].entry >= 0)
            i = (i + 1) & mask;
        wider[i] = slot;
    }
    m_slots.swap(wider);
}

int GroupNames::code(const QString &name)
{
    const Entry entry = find(keyOf(name));
    return entry == None ? 0 : codeAt(entry);
}

void GroupNames::insert(const QString &name, int code)
{
    const std::string_view key = keyOf(name);
    if (find(key) == None)
        add(key, code);
}

void GroupNames::setCode(const QString &name, int code)
{
    const std::string_view key = keyOf(name);
    if (const Entry entry = find(key); entry != None)
        setCodeAt(entry, code);
    else
        add(key, code);
}

void GroupNames::remove(const QString &name)
{
    // The entry stays in the table, passed over by look-ups.
    if (const Entry entry = find(keyOf(name)); entry != None) {
        m_removed[size_t(entry)] = true;
        ++m_removedCount;
    }
}

void GroupNames::clear()
{
    m_slots.clear();
    m_keys.clear();
    m_keyEnds.clear();
    m_codes.clear();
    m_removed.clear();
    m_removedCount = 0;
    m_lastFound = None;
    m_inOrder = false;
}
