#include "ZnEndCleanup.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kEntries = 64;
const int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// An entry is taken by the thread that fills it, and by the handler before it
// reads one: a thread never changes an entry the handler may be reading.
enum State { Free, Filling, Live, Handled };

struct Entry
{
    std::atomic<int> state{Free};
    int dir = -1;
    bool folder = false;
    pid_t pid = 0;
    char name[NAME_MAX + 1] = {};
};

Entry entries[kEntries];

static_assert(ATOMIC_INT_LOCK_FREE == 2, "the handler reads the table without a lock");

int take()
{
    for (int i = 0; i < kEntries; ++i) {
        int expected = Free;
        if (entries[i].state.compare_exchange_strong(expected, Filling))
            return i;
    }
    return -1;
}

void onEnd(int signal)
{
    bool mine[kEntries] = {};
    for (int i = 0; i < kEntries; ++i) {
        int expected = Live;
        mine[i] = entries[i].state.compare_exchange_strong(expected, Handled);
    }
    // A child first, and waited for: once gone it writes no more into a file below.
    for (int i = 0; i < kEntries; ++i) {
        if (mine[i] && entries[i].pid > 0) {
            ::kill(entries[i].pid, SIGKILL);
            siginfo_t info;
            while (::waitid(P_PID, id_t(entries[i].pid), &info, WEXITED | WNOWAIT | __WALL) != 0 && errno == EINTR) {
            }
        }
    }
    // Files before the folders that hold them.
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < kEntries; ++i) {
            if (mine[i] && entries[i].pid == 0 && entries[i].folder == (pass == 1))
                ::unlinkat(entries[i].dir, entries[i].name, pass == 1 ? AT_REMOVEDIR : 0);
        }
    }
    // The action is back at the default (SA_RESETHAND): delivered once this returns.
    ::raise(signal);
}

} // namespace

void ZnEndCleanup::install()
{
    struct sigaction action = {};
    action.sa_handler = onEnd;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (int s : kSignals)
        sigaddset(&action.sa_mask, s);
    for (int s : kSignals) {
        struct sigaction now = {};
        if (::sigaction(s, nullptr, &now) == 0 && now.sa_handler == SIG_DFL)
            ::sigaction(s, &action, nullptr);
    }
}

int ZnEndCleanup::addFile(int dir, const char* name, bool folder)
{
    if (dir < 0 || !name || std::strlen(name) > NAME_MAX)
        return -1;
    const int i = take();
    if (i < 0)
        return -1;
    Entry& e = entries[i];
    e.dir = dir;
    e.folder = folder;
    e.pid = 0;
    std::strcpy(e.name, name);
    e.state.store(Live);
    return i;
}

int ZnEndCleanup::addChild(pid_t pid)
{
    if (pid <= 0)
        return -1;
    const int i = take();
    if (i < 0)
        return -1;
    entries[i].pid = pid;
    entries[i].state.store(Live);
    return i;
}

void ZnEndCleanup::remove(int entry)
{
    if (entry < 0 || entry >= kEntries)
        return;
    // Left as it is once the handler has it: the process is ending.
    int expected = Live;
    entries[entry].state.compare_exchange_strong(expected, Free);
}
