#pragma once

#include "ZnListStore.h"

#include <algorithm>

class ZnManageCenter;

// What the region and microphone-group models share (one call per change): records saved whole
// by operation 4 (add), 5 (modify) or 6 (delete), a copy kept from the manager's
// codes, and the changes the server took applied to it. Each model names its own
// signals; the announce hooks run with no lock held.
template <class Record>
class ZnSavedList
{
public:
    enum { AddOp = 4, ModifyOp = 5, DeleteOp = 6 };

    // The manager's codes for a list, a deleted record and a saved one.
    struct Codes
    {
        int list;
        int deleted;
        int saved;
    };

protected:
    typedef ZnListStore<Record, ZnListKind::CallOnce> Store;

    explicit ZnSavedList(const Codes& codes) : m_codes(codes) {}
    virtual ~ZnSavedList() = default;

    virtual void announceList() = 0;
    virtual void announceChanged(int id) = 0;
    virtual void announceDeleted(int id) = 0;

    // A notify from the manager (receive thread).
    void handle(int code, void* data)
    {
        if (code == m_codes.list) {
            if (m_store.replaceAll(Store::listOf(data)))
                announceList();
        } else if (code == m_codes.deleted) {
            int id = 0;
            if (Store::idOf(data, id) && m_store.erase(id))
                announceDeleted(id);
        } else if (code == m_codes.saved) {
            if (const Record* record = Store::recordOf(data))
                apply(*record, ModifyOp);
        }
    }

    // The largest id, 0 without records.
    int maxId() const
    {
        int top = 0;
        bool any = false;
        m_store.forEach([&](const Record& r) {
            const int id = ZnRecordKey<Record>::id(r);
            top = any ? std::max(top, id) : id;
            any = true;
        });
        return top;
    }

    // Sends the change and applies it only when the server took it; -1 for an
    // operation other than 4, 5 or 6.
    template <class Save>
    int save(const Record* record, int operation, Save send)
    {
        if (!record || operation < AddOp || operation > DeleteOp)
            return -1;
        const Record copy(*record);
        return Store::change([&] { return send(m_centre, &copy, operation); }, [&] { apply(copy, operation); });
    }

    ZnManageCenter* m_centre = nullptr;
    Store m_store;

private:
    void apply(const Record& record, int operation)
    {
        const int id = ZnRecordKey<Record>::id(record);
        if (operation == DeleteOp) {
            if (m_store.erase(id))
                announceDeleted(id);
            return;
        }
        // Adding a record that is already listed changes nothing.
        if (operation == AddOp && m_store.contains(id))
            return;
        m_store.upsert(record);
        announceChanged(id);
    }

    Codes m_codes;
};
