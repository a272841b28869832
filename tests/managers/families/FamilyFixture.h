#pragma once

#include "../SimSession.h"
#include "ServiceHub.h"

#include <QObject>
#include <QThread>

#include <json/json.h>

#include <string>
#include <vector>

// Puts rows of one shape under the given ids in place of the table's sample rows.
inline void fill(ZnSimData& d, const char* table, const std::vector<std::string>& ids, const char* json)
{
    Json::Value row;
    Json::Reader().parse(json, row);
    d.table(table).clear();
    for (const std::string& id : ids) {
        row["terminalId"] = id;
        d.addRow(table, row);
    }
}

inline std::string capRow(int id, const char* name)
{
    return "{\"terminalId\":\"" + std::to_string(id) + "\",\"type\":\"CAP\",\"status\":\"0\",\"name\":\"" + name
           + "\"}";
}

template <class List>
std::vector<int> idsOf(const List& list)
{
    std::vector<int> out;
    for (const auto& r : list)
        out.push_back(r.id);
    return out;
}

// The list models are process-wide and keep the centre of the first hub.
inline bool startHub(SimSession& s)
{
    if (!s.login())
        return false;
    ServiceHub::create(s.centre.get());
    return true;
}

// What a page sees: every signal, queued to this (the GUI) thread.
class PageSide : public QObject
{
public:
    int lists = 0;
    int errors = 0;
    std::vector<int> changed, removed;
    QThread* ranOn = nullptr;

    void onList()
    {
        ++lists;
        ranOn = QThread::currentThread();
    }
    void onChanged(int id)
    {
        changed.push_back(id);
        ranOn = QThread::currentThread();
    }
    void onRemoved(int id) { removed.push_back(id); }
    void onError() { ++errors; }
};
