#pragma once

#include <cstddef>
#include <unordered_map>

// A map from record id to a small value (a row, a list position), for the list
// models and the tables' row indexes: each entry knows its id, so that a caller
// holding an entry can erase it or read its id without a second lookup. Entries
// stay where they are until erased.
template <class Value>
class ZnIdTable
{
public:
    struct Entry
    {
        int id;
        bool used;
        Value value;
    };

    // Empties the table, with room for expected entries.
    void clear(size_t expected = 0)
    {
        entries.clear();
        entries.reserve(expected);
    }

    size_t size() const { return entries.size(); }

    void swap(ZnIdTable &other) { entries.swap(other.entries); }

    Entry *find(int id)
    {
        const auto at = entries.find(id);
        return at == entries.end() ? nullptr : &at->second;
    }
    const Entry *find(int id) const { return const_cast<ZnIdTable *>(this)->find(id); }

    // Adds id, which must not be in the table yet.
    void insert(int id, const Value &value) { entries.emplace(id, Entry{id, true, value}); }

    void erase(Entry *entry) { entries.erase(entry->id); }

    // Calls visit(entry) for every entry; visit may change the values, not the ids.
    template <class Visit>
    void forEach(Visit &&visit)
    {
        for (auto &e : entries)
            visit(e.second);
    }

private:
    std::unordered_map<int, Entry> entries;
};
