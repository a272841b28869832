#pragma once

#include "ZnListStore.h"
#include "ZnMic.h"
#include "ZnMicBtnCall.h"
#include "ZnOwnedList.h"

class ZnManageCenter;

// What the D72 and D74 console models share (one call per change): the copy of the consoles and
// of the button calls last asked for, kept up to date from the manager's codes.
// Each model names its own signals; the announce hooks run with no lock held.
class ZnTalkConsoleList
{
public:
    // The manager's codes for a list, a changed console, a deleted one and the
    // button calls.
    struct Codes
    {
        int list;
        int modify;
        int deleted;
        int buttonCalls;
    };

protected:
    typedef ZnListStore<ZnMic, ZnListKind::CallOnce> Store;

    explicit ZnTalkConsoleList(const Codes& codes);
    virtual ~ZnTalkConsoleList() = default;

    // A notify from the manager (receive thread).
    void handle(int code, void* data);
    void applyChanged(const ZnMic& mic);
    void applyDeleted(int id);

    virtual void announceList() = 0;
    virtual void announceChanged(int id) = 0;
    virtual void announceDeleted(int id) = 0;

    ZnManageCenter* m_centre = nullptr;
    Store m_store;
    ZnOwnedList<ZnMicBtnCall> m_btnCalls;

private:
    Codes m_codes;
};
