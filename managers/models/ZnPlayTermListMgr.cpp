#include "ZnPlayTermListMgr.h"

#include "ServiceHub.h"
#include "ZnApi.h"
#include "ZnFailureNote.h"

ZnPlayTermListMgr* ZnPlayTermListMgr::instance()
{
    // The callback is registered by requestPlayTermList().
    static ZnPlayTermListMgr* model = new ZnPlayTermListMgr;
    return model;
}

ZnManageCenter* ZnPlayTermListMgr::centre()
{
    ServiceHub* hub = ServiceHub::instance();
    return hub ? hub->centre() : nullptr;
}

void ZnPlayTermListMgr::registerCallback()
{
    if (ZnManageCenter* c = centre())
        apiSetPlayTerminalCallback(c, &ZnPlayTermListMgr::onNotify);
}

void ZnPlayTermListMgr::onNotify(int code, void* data)
{
    ZnPlayTermListMgr* self = instance();
    switch (code) {
    case ListCode:
        // The manager's freshly parsed list is dropped right after this call, so
        // its records are taken over rather than copied.
        if (data && self->m_store.replaceAll(std::move(*static_cast<Store::List*>(data))))
            emit self->gotPlayTermList();
        break;
    case ChangedCode:
        if (const ZnTerminal* terminal = Store::recordOf(data)) {
            const int id = terminal->id;
            switch (self->m_store.upsert(*terminal)) {
            case Store::Replaced:
                emit self->playTermChanged(id);
                break;
            case Store::Added:
                // A new terminal makes the pages redraw the whole list.
                emit self->gotPlayTermList();
                break;
            case Store::NotApplied:
                break;
            }
        }
        break;
    case RemoveRefusedCode: {
        const auto* note = static_cast<const ZnFailureNote*>(data);
        if (note && note->flag == 1) {
            {
                QMutexLocker lock(&self->m_errorMutex);
                self->m_errorText = QString::fromStdString(note->text);
            }
            emit self->delTermError();
        }
        break;
    }
    default:
        break;
    }
}

int ZnPlayTermListMgr::requestPlayTermList()
{
    registerCallback();
    ZnManageCenter* c = centre();
    return Store::requestList([c] { return apiGetPlayTerminalList(c); });
}

QString ZnPlayTermListMgr::delTermErrorText() const
{
    QMutexLocker lock(&m_errorMutex);
    return m_errorText;
}

int ZnPlayTermListMgr::mergeList(const ZnTerminal& terminal)
{
    return m_store.edit(terminal.id, [&](ZnTerminal& held) { held = terminal; }) ? 0 : -1;
}

int ZnPlayTermListMgr::removeTerminal(int id, const std::string& typeText)
{
    ZnManageCenter* c = centre();
    return Store::change([&] { return apiRemoveDevice(c, id, typeText.c_str()); }, [&] { m_store.erase(id); });
}

int ZnPlayTermListMgr::modifyTerminal(const ZnTerminal& terminal)
{
    ZnManageCenter* c = centre();
    return Store::change([&] { return apiModifyPlayTerminal(c, &terminal); }, [&] { mergeList(terminal); });
}

int ZnPlayTermListMgr::setAmpPower(ZnManageCenter* c, int id, const char* text, int power)
{
    if (!c)
        return -1;
    const bool on = power != 0;
    return Store::change([&] { return apiSetIpAmpPower(c, id, text, on ? 1 : 0); },
                         [&] { m_store.edit(id, [on](ZnTerminal& t) { t.power = on; }); });
}

int ZnPlayTermListMgr::speakerCheck(ZnManageCenter* c, const ZnTerminal& terminal)
{
    if (!c)
        return -1;
    return Store::change([&] { return apiIpAmpSpeakerCheck(c, &terminal); });
}

int ZnPlayTermListMgr::setPlayTermConfig(ZnManageCenter* c, const ZnTerminal& terminal)
{
    if (!c)
        return -1;
    return Store::change([&] { return apiSetPlayTermConfig(c, &terminal); });
}

int ZnPlayTermListMgr::setTerminal(ZnManageCenter* c, const ZnTerminal& terminal)
{
    if (!c)
        return -1;
    return Store::change([&] { return apiGetPlayTerminal(c, &terminal); }, [&] { mergeList(terminal); });
}
