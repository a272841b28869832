#pragma once

#include "ZnRegion.h"
#include "ZnSavedList.h"

#include <QObject>

#include <list>

class ZnManageCenter;

// The broadcast regions as the pages see them (one call per change). The list is asked for once,
// when the model is first used; afterwards it changes through modifyRegion and the
// server's DELETE messages of type "Region".
class ZnRegionListMgr : public QObject, private ZnSavedList<ZnRegion>
{
    Q_OBJECT

public:
    // Change kinds, also the operation codes of the requests.
    enum { Add = 4, Modify = 5, Delete = 6 };

    static ZnRegionListMgr* instance();
    // Registered with the region manager; runs on the receive thread.
    static void onNotify(int code, void* data);

    std::list<ZnRegion> regionList() const { return m_store.copyList(); }
    // The largest region id, 0 without regions.
    int maxRegionId() const { return maxId(); }
    bool getRegion(int regionId, ZnRegion* out) const { return out && m_store.copyRecord(regionId, *out); }
    bool getRegion(int regionId, ZnRegion& out) const { return getRegion(regionId, &out); }
    // Sends the change and applies it to the list only when the server took it.
    // The result code of the request (-1 for an operation other than 4, 5 or 6).
    int modifyRegion(const ZnRegion* region, int operation);
    int modifyRegion(const ZnRegion& region, int operation) { return modifyRegion(&region, operation); }

signals:
    void gotRegionList();
    void regionChanged(int regionId);
    void regionDeleted(int regionId);
    void buildGroupPlayTaskCommit(bool ok);

private:
    ZnRegionListMgr();
    void announceList() override;
    void announceChanged(int id) override;
    void announceDeleted(int id) override;
};
