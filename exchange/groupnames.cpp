#include "exchange/groupnames.h"

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

int *GroupNames::find(std::string_view key)
{
    const auto it = m_codes.find(key);
    return it == m_codes.end() ? nullptr : &it->second;
}

int *GroupNames::add(std::string_view key, int code)
{
    return &m_codes.emplace(std::string(key), code).first->second;
}

int GroupNames::code(const QString &name)
{
    const int *held = find(keyOf(name));
    return held ? *held : 0;
}

void GroupNames::insert(const QString &name, int code)
{
    const std::string_view key = keyOf(name);
    if (!find(key))
        add(key, code);
}

void GroupNames::setCode(const QString &name, int code)
{
    const std::string_view key = keyOf(name);
    if (int *held = find(key))
        *held = code;
    else
        add(key, code);
}

void GroupNames::remove(const QString &name)
{
    const auto it = m_codes.find(keyOf(name));
    if (it != m_codes.end())
        m_codes.erase(it);
}
