#include "ZnTalkConsoleList.h"

ZnTalkConsoleList::ZnTalkConsoleList(const Codes& codes) : m_codes(codes) {}

void ZnTalkConsoleList::handle(int code, void* data)
{
    if (code == m_codes.list) {
        if (m_store.replaceAll(Store::listOf(data)))
            announceList();
    } else if (code == m_codes.modify) {
        if (const ZnMic* mic = Store::recordOf(data))
            applyChanged(*mic);
    } else if (code == m_codes.deleted) {
        int id = 0;
        if (Store::idOf(data, id))
            applyDeleted(id);
    } else if (code == m_codes.buttonCalls) {
        // A null answer leaves no button calls for the dialog to show or send back.
        if (data)
            m_btnCalls.take(*static_cast<const std::list<ZnMicBtnCall>*>(data));
        else
            m_btnCalls.clear();
    }
}

void ZnTalkConsoleList::applyChanged(const ZnMic& mic)
{
    if (m_store.upsert(mic) != Store::NotApplied)
        announceChanged(mic.id);
}

void ZnTalkConsoleList::applyDeleted(int id)
{
    if (m_store.erase(id))
        announceDeleted(id);
}
