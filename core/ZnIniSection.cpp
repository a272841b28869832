#include "ZnIniSection.h"

#include <utility>

ZnIniSection::ZnIniSection(std::string name) : m_name(std::move(name)) {}

ZnIniKey* ZnIniSection::findKey(const std::string& key) const
{
    for (const auto& k : m_keys) {
        if (k->key == key)
            return k.get();
    }
    return nullptr;
}

void ZnIniSection::setValue(const std::string& key, const std::string& value)
{
    if (ZnIniKey* k = findKey(key)) {
        k->value = value;
        return;
    }
    m_keys.push_back(std::make_unique<ZnIniKey>(ZnIniKey{key, value}));
}

void ZnIniSection::addUnparsedLine(std::string line)
{
    m_unparsed.push_back(std::move(line));
}
