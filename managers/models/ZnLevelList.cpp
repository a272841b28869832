#include "ZnLevelList.h"

#include "ZnApi.h"
#include "ZnViewBaseCtr.h"

ZnLevelList& gLevelList = *new ZnLevelList;

int ZnLevelList::update(std::list<ZnLevel>* levels)
{
    if (!levels)
        return -1;
    return gLevelList.replace(*levels);
}

int ZnLevelList::registerCallbacks(ZnManageCenter* centre)
{
    return apiSetLevelCallbacks(
        centre, [](std::list<ZnLevel>* levels) { update(levels); }, nullptr, nullptr);
}

int ZnLevelList::replace(const std::list<ZnLevel>& levels)
{
    auto fresh = std::make_unique<std::list<ZnLevel>>(levels);
    fresh->sort([](const ZnLevel& a, const ZnLevel& b) { return a.id > b.id; });
    ZnViewBaseCtr* view;
    {
        QMutexLocker lock(&m_mutex);
        m_levels.swap(fresh);
        m_count = static_cast<int>(m_levels->size());
        view = m_view;
    }
    if (view)
        view->haveTerminals();
    return 0;
}

int ZnLevelList::lookup(ZnLevel& out, int type)
{
    QMutexLocker lock(&m_mutex);
    if (!m_levels)
        return -1;
    for (const ZnLevel& level : *m_levels) {
        if (level.type == type) {
            out = level;
            return 0;
        }
    }
    return -1;
}
