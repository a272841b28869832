#include "ZnIniSection.h"

#include <utility>

ZnIniSection::ZnIniSection(std::string name) : m_name(std::move(name)) {}

ZnIniKey* ZnIniSection::findKey(const std::string& key) const
{
    const auto at = m_index.find(key);
    return at == m_index.end() ? nullptr : m_keys[at->second].get();
}

void ZnIniSection::setValue(const std::string& key, const std::string& value)
{
    if (ZnIniKey* k = findKey(key)) {
        if (k->value != value) {
            k->value = value;
            k->changed = true;
        }
        return;
    }
    m_index.emplace(key, m_keys.size());
    m_keys.push_back(std::make_unique<ZnIniKey>(ZnIniKey{key, value}));
}

void ZnIniSection::setReadValue(const std::string& key, const std::string& value, int begin, int end)
{
    setValue(key, value);
    ZnIniKey* k = findKey(key);
    k->begin = begin;
    k->end = end;
    k->changed = false;
}
