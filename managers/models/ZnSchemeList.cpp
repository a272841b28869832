#include "ZnSchemeList.h"

#include "ZnApi.h"
#include "ZnCreateViewCtrMgr.h"
#include "ZnListStore.h"
#include "ZnQtViewCtrl.h"

namespace {
// Asks for a kind's list, again after a short pause while the centre is busy.
void askForList(ZnManageCenter* centre, int kind)
{
    ZnListStore<ZnScheme, ZnListKind::RetryBusy>::requestList(
        [centre, kind] { return apiGetSchemeList(centre, kind); });
}
} // namespace

ZnSchemeList* ZnSchemeList::instance()
{
    static ZnSchemeList* list = new ZnSchemeList;
    return list;
}

ZnSchemeList::ZnSchemeList()
{
    for (auto& view : m_views)
        view = ZnCreateViewCtrMgr::createView(0);
}

ZnManageCenter* ZnSchemeList::centre()
{
    return instance()->m_centre.load();
}

int ZnSchemeList::registerCallbacks(ZnManageCenter* centre)
{
    if (centre)
        m_centre.store(centre);
    return apiSetSchemeCallback(centre, &ZnSchemeList::onList, &ZnSchemeList::onAdded, &ZnSchemeList::onChanged,
                                &ZnSchemeList::onDeleted);
}

bool ZnSchemeList::requestSchemes(int kind, std::list<ZnScheme>& out)
{
    if (!validKind(kind))
        return false;
    {
        QMutexLocker lock(&m_mutex);
        if (m_arrived[kind]) {
            out = m_lists[kind];
            return true;
        }
    }
    askForList(centre(), kind);
    return false;
}

const std::list<ZnScheme>* ZnSchemeList::lockedSchemes(int kind)
{
    if (!validKind(kind))
        return nullptr;
    m_mutex.lock();
    if (m_arrived[kind])
        return &m_lists[kind];
    m_mutex.unlock();
    askForList(centre(), kind);
    return nullptr;
}

std::unique_ptr<ZnScheme> ZnSchemeList::findScheme(int id, int kind) const
{
    auto plan = std::make_unique<ZnScheme>();
    if (!findScheme(id, kind, *plan))
        plan.reset();
    return plan;
}

bool ZnSchemeList::findScheme(int id, int kind, ZnScheme& out) const
{
    if (!validKind(kind))
        return false;
    QMutexLocker lock(&m_mutex);
    for (const ZnScheme& s : m_lists[kind]) {
        if (s.id == id) {
            out = s;
            return true;
        }
    }
    return false;
}

ZnQtViewCtrl* ZnSchemeList::viewCtrl(int kind) const
{
    return validKind(kind) ? m_views[kind] : nullptr;
}

bool ZnSchemeList::store(const ZnScheme& scheme, int kind)
{
    for (ZnScheme& held : m_lists[kind]) {
        if (held.id == scheme.id) {
            held = scheme;
            return true;
        }
    }
    m_lists[kind].push_back(scheme);
    return false;
}

void ZnSchemeList::announce(int kind, bool replaced, int id) const
{
    if (ZnQtViewCtrl* view = m_views[kind]) {
        if (replaced)
            view->updateTerminal(id);
        else
            view->addTerminal(id);
    }
}

void ZnSchemeList::take(const ZnScheme& scheme, int kind, bool added)
{
    // A scheme without an id is no scheme of the server's.
    if (!validKind(kind) || scheme.id <= 0)
        return;
    bool replaced;
    {
        QMutexLocker lock(&m_mutex);
        m_current = scheme;
        replaced = store(scheme, kind);
        if (m_wait != Wait::None && kind == m_waitKind
            && ((added && m_wait == Wait::Add) || (!added && m_wait == Wait::Change && scheme.id == m_waitId))) {
            m_answer = scheme;
            m_answered = true;
        }
    }
    announce(kind, replaced && !added, scheme.id);
}

void ZnSchemeList::onList(std::list<ZnScheme>* list, int kind)
{
    if (!list || !validKind(kind))
        return;
    ZnSchemeList* self = instance();
    std::list<ZnScheme> fresh(*list);
    {
        QMutexLocker lock(&self->m_mutex);
        self->m_lists[kind].swap(fresh);
        self->m_arrived[kind] = true;
    }
    if (ZnQtViewCtrl* view = self->m_views[kind])
        view->haveTerminals();
}

void ZnSchemeList::onAdded(ZnScheme* scheme, int kind)
{
    if (scheme)
        instance()->take(*scheme, kind, true);
}

void ZnSchemeList::onChanged(ZnScheme* scheme, int kind)
{
    if (scheme)
        instance()->take(*scheme, kind, false);
}

void ZnSchemeList::onDeleted(int id, int kind)
{
    instance()->removeScheme(id, kind);
}

void ZnSchemeList::removeScheme(int id, int kind)
{
    if (!validKind(kind))
        return;
    {
        QMutexLocker lock(&m_mutex);
        auto& list = m_lists[kind];
        for (auto it = list.begin(); it != list.end(); ++it) {
            if (it->id == id) {
                list.erase(it);
                break;
            }
        }
    }
    // Told also for a plan the list did not hold: the page may show one it has
    // not heard of yet.
    if (m_views[kind])
        m_views[kind]->delTerminal(id);
}

int ZnSchemeList::change(ZnScheme& scheme, int kind, Wait wait, int (*call)(ZnManageCenter*, ZnScheme*, int))
{
    // The request works on a copy: the enable switch flips the record it is given,
    // and the caller's record changes only when the server agreed.
    ZnScheme sent(scheme);
    {
        QMutexLocker lock(&m_mutex);
        m_wait = wait;
        m_waitKind = kind;
        m_waitId = scheme.id;
        m_answered = false;
    }
    const int result = call(centre(), &sent, kind);
    bool answered;
    ZnScheme answer;
    {
        QMutexLocker lock(&m_mutex);
        answered = m_answered;
        answer = m_answer;
        m_wait = Wait::None;
        m_answered = false;
    }
    if (result != 0)
        return result;
    if (answered) {
        scheme = answer;
    } else if (wait == Wait::Change) {
        scheme = sent;
        bool replaced;
        {
            QMutexLocker lock(&m_mutex);
            m_current = sent;
            replaced = store(sent, kind);
        }
        announce(kind, replaced, sent.id);
    } else {
        // The server took the plan but did not say under which id: fetch the list.
        askForList(centre(), kind);
    }
    return 0;
}

int ZnSchemeList::addScheme(ZnScheme& scheme, int kind)
{
    return change(scheme, kind, Wait::Add, &apiAddScheme);
}

int ZnSchemeList::modifyScheme(ZnScheme& scheme, int kind)
{
    return change(scheme, kind, Wait::Change, &apiModifyScheme);
}

int ZnSchemeList::toggleScheme(ZnScheme& scheme, int kind)
{
    return change(scheme, kind, Wait::Change, &apiEnableScheme);
}

int ZnSchemeList::deleteScheme(ZnScheme& scheme, int kind)
{
    // The list changes when the server reports the deletion, not here.
    ZnScheme sent(scheme);
    return apiDeleteScheme(centre(), &sent, kind);
}
