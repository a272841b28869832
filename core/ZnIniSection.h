#pragma once

#include "ZnIniKey.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

// A named section of an INI file: its keys in order of first appearance.
class ZnIniSection
{
public:
    explicit ZnIniSection(std::string name);

    const std::string& name() const { return m_name; }
    const std::vector<std::unique_ptr<ZnIniKey>>& keys() const { return m_keys; }

    ZnIniKey* findKey(const std::string& key) const;
    // Replaces the value of an existing key, else appends the key.
    void setValue(const std::string& key, const std::string& value);
    // The same for a value read from the file at [begin, end), unchanged since.
    void setReadValue(const std::string& key, const std::string& value, int begin, int end);

    // Where a new key line goes in the file read: after the section's last header
    // or key line (-1: the section is not in that file).
    int insertAt() const { return m_insertAt; }
    void setInsertAt(int offset) { m_insertAt = offset; }

private:
    std::string m_name;
    std::vector<std::unique_ptr<ZnIniKey>> m_keys;
    // Where each key stands in m_keys: a lookup costs the same in a file of
    // thousands of keys.
    std::unordered_map<std::string, size_t> m_index;
    int m_insertAt = -1;
};
