#pragma once

#include <QMutex>
#include <QMutexLocker>

#include <list>

// A list that belongs to one console: the button calls or one book of the console
// last asked for. ask() names the console whose answer comes next; take() stores
// that answer, leaving out rows of any other console; copyFor() hands a copy only
// to a caller asking for that same console, so no dialog ever shows, or sends
// back, another console's entries. Entry has an int terminalId.
template <class Entry>
class ZnOwnedList
{
public:
    void ask(int terminalId)
    {
        QMutexLocker lock(&m_mutex);
        m_askedFor = terminalId;
        m_asked = true;
    }

    void take(const std::list<Entry>& rows)
    {
        std::list<Entry> kept;
        QMutexLocker lock(&m_mutex);
        // An answer nobody asked for belongs to no known console.
        if (!m_asked)
            return;
        for (const Entry& e : rows) {
            if (e.terminalId == m_askedFor)
                kept.push_back(e);
        }
        m_entries.swap(kept);
        m_owner = m_askedFor;
        m_held = true;
    }

    // An empty answer: no console's list is held any more.
    void clear()
    {
        std::list<Entry> old;
        QMutexLocker lock(&m_mutex);
        old.swap(m_entries);
        m_held = false;
    }

    // False, and out empty, when the list held is not this console's.
    bool copyFor(int terminalId, std::list<Entry>& out) const
    {
        QMutexLocker lock(&m_mutex);
        out.clear();
        if (!m_held || m_owner != terminalId)
            return false;
        out = m_entries;
        return true;
    }

    // The list of the console asked for last, once its answer is in; else empty.
    std::list<Entry> copyOfAsked() const
    {
        QMutexLocker lock(&m_mutex);
        if (!m_held || !m_asked || m_owner != m_askedFor)
            return {};
        return m_entries;
    }

private:
    mutable QMutex m_mutex;
    std::list<Entry> m_entries;
    int m_askedFor = 0;
    bool m_asked = false;
    int m_owner = 0;
    bool m_held = false;
};
