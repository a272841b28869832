#pragma once

#include "ZnScheme.h"

#include <QMutex>

#include <atomic>
#include <list>
#include <memory>

class ZnManageCenter;
class ZnQtViewCtrl;

// The pages' copy of the timer plans, one list per kind (0 play, 1 amplifier,
// 2 power, 3 volume schemes). Not a Qt object: each kind announces its changes
// through its view controller.
class ZnSchemeList
{
public:
    enum { KindCount = VolumeSchemes + 1 };

    static ZnSchemeList* instance();

    // Registers the four callbacks with the scheme manager and keeps the centre
    // for the requests; -1 without a centre.
    int registerCallbacks(ZnManageCenter* centre);

    // True with a copy of the kind's list once it has arrived. Otherwise asks for
    // it (retrying every 10 ms while busy) and gives false: the list comes later,
    // announced by haveTerminals().
    bool requestSchemes(int kind, std::list<ZnScheme>& out);
    // The kind's list with the lock held once it has arrived: the caller reads it
    // and calls unlockSchemes(), sending no request meanwhile. Otherwise asks for
    // it as requestSchemes does and gives null, with nothing locked.
    const std::list<ZnScheme>* lockedSchemes(int kind);
    void unlockSchemes() const { m_mutex.unlock(); }
    bool findScheme(int id, int kind, ZnScheme& out) const;
    // A heap copy the caller owns, or null.
    std::unique_ptr<ZnScheme> findScheme(int id, int kind) const;
    // Drops the plan from its kind's list and announces it (delTerminal), held or not.
    void removeScheme(int id, int kind);
    ZnQtViewCtrl* viewCtrl(int kind) const;

    // Each sends one request and returns its result code. Only on 0 does anything
    // change: the caller's record becomes the scheme the server answered with (or,
    // for a modify or switch answered without one, what was sent), and the list
    // shows it. Any other code leaves the record and the list as they were. A
    // deletion leaves both: the list drops the plan when the server reports it.
    int addScheme(ZnScheme& scheme, int kind);
    int modifyScheme(ZnScheme& scheme, int kind);
    int toggleScheme(ZnScheme& scheme, int kind);
    int deleteScheme(ZnScheme& scheme, int kind);

    // The callbacks (receive thread).
    static void onList(std::list<ZnScheme>* list, int kind);
    static void onAdded(ZnScheme* scheme, int kind);
    static void onChanged(ZnScheme* scheme, int kind);
    static void onDeleted(int id, int kind);

private:
    enum class Wait { None, Add, Change };

    ZnSchemeList();
    static ZnManageCenter* centre();
    static bool validKind(int kind) { return kind >= 0 && kind < KindCount; }

    // Puts the scheme in its kind's list; true when its id was there already.
    bool store(const ZnScheme& scheme, int kind);
    void take(const ZnScheme& scheme, int kind, bool added);
    void announce(int kind, bool replaced, int id) const;
    int change(ZnScheme& scheme, int kind, Wait wait, int (*call)(ZnManageCenter*, ZnScheme*, int));

    std::atomic<ZnManageCenter*> m_centre{nullptr};
    mutable QRecursiveMutex m_mutex;
    std::list<ZnScheme> m_lists[KindCount];
    bool m_arrived[KindCount] = {};
    ZnQtViewCtrl* m_views[KindCount];
    ZnScheme m_current;
    // The answer the GUI thread waits for (requests go one at a time).
    Wait m_wait = Wait::None;
    int m_waitKind = 0;
    int m_waitId = 0;
    bool m_answered = false;
    ZnScheme m_answer;
};
