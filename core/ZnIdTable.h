#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

// A map from record id to a small value (a row, a list position) in one
// open-addressed array. In a family of a hundred thousand records a lookup costs
// one memory access, where a node-based hash costs a bucket and a node; a pushed
// change makes a few such lookups.
//
// Linear probing, at most half full; erasing moves later entries of the run back,
// so there are no tombstones. Pointers to entries stay valid until the next
// insert or erase.
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
        size_t size = 16;
        int bits = 28;
        while (size < 2 * expected) {
            size *= 2;
            --bits;
        }
        entries.assign(size, Entry{0, false, Value()});
        count = 0;
        shiftBits = bits;
    }

    size_t size() const { return count; }

    void swap(ZnIdTable &other)
    {
        entries.swap(other.entries);
        std::swap(count, other.count);
        std::swap(shiftBits, other.shiftBits);
    }

    Entry *find(int id)
    {
        if (entries.empty())
            return nullptr;
        const size_t mask = entries.size() - 1;
        for (size_t i = home(id);; i = (i + 1) & mask) {
            Entry &e = entries[i];
            if (!e.used)
                return nullptr;
            if (e.id == id)
                return &e;
        }
    }
    const Entry *find(int id) const { return const_cast<ZnIdTable *>(this)->find(id); }

    // Adds id, which must not be in the table yet.
    void insert(int id, const Value &value)
    {
        if (2 * (count + 1) > entries.size())
            grow();
        const size_t mask = entries.size() - 1;
        size_t i = home(id);
        while (entries[i].used)
            i = (i + 1) & mask;
        entries[i] = Entry{id, true, value};
        ++count;
    }

    void erase(Entry *entry)
    {
        const size_t mask = entries.size() - 1;
        size_t hole = size_t(entry - entries.data());
        for (size_t i = (hole + 1) & mask; entries[i].used; i = (i + 1) & mask) {
            // An entry may fill the hole when the hole lies between its home and it.
            if (((i - home(entries[i].id)) & mask) >= ((i - hole) & mask)) {
                entries[hole] = entries[i];
                hole = i;
            }
        }
        entries[hole].used = false;
        --count;
    }

    // Calls visit(entry) for every entry; visit may change the values, not the ids.
    template <class Visit>
    void forEach(Visit &&visit)
    {
        for (Entry &e : entries) {
            if (e.used)
                visit(e);
        }
    }

private:
    // Fibonacci hashing: ids that follow each other spread over the array.
    size_t home(int id) const { return size_t((uint32_t(id) * 2654435769u) >> shiftBits); }

    void grow()
    {
        std::vector<Entry> old;
        old.swap(entries);
        clear(count + 1);
        for (const Entry &e : old) {
            if (e.used)
                insert(e.id, e.value);
        }
    }

    std::vector<Entry> entries;
    size_t count = 0;
    int shiftBits = 28;
};
