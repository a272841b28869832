#pragma once

#include <QMutex>

class ZnViewBaseCtr;

// A mutex, a count and an owned view in front of a list that is not a Qt object
// (capture units, levels). Holders add their list behind these fields and tell
// the view of their changes.
class ZnLockedList
{
public:
    ZnLockedList() = default;
    virtual ~ZnLockedList();
    ZnLockedList(const ZnLockedList&) = delete;
    ZnLockedList& operator=(const ZnLockedList&) = delete;

    void lock() { m_mutex.lock(); }
    void unlock() { m_mutex.unlock(); }
    // Takes ownership; the previous view is deleted.
    void setView(ZnViewBaseCtr* view);
    ZnViewBaseCtr* view() const { return m_view; }

protected:
    QMutex m_mutex{QMutex::Recursive};
    int m_count = 0;
    ZnViewBaseCtr* m_view = nullptr;
};
