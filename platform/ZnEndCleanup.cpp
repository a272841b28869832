#include "ZnEndCleanup.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
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
// Entries taken and not yet free again.
std::atomic<int> taken{0};
// Set once the end has come: an entry filled after that is handled by its filler.
std::atomic<bool> ending{false};

// How many times the exit handler was registered (see take()): each holds an
// entry of the C library's list until the end, about 32 bytes.
std::atomic<int> registrations{0};
constexpr int kRegistrations = 1024;

static_assert(ATOMIC_INT_LOCK_FREE == 2, "the handler reads the table without a lock");

void onExit(int status, void*);

int take()
{
    for (int i = 0; i < kEntries; ++i) {
        int expected = Free;
        if (!entries[i].state.compare_exchange_strong(expected, Filling))
            continue;
        // exit() runs its handlers and destructors of static objects newest first,
        // while the threads that write go on: registered again as the table fills,
        // the handler comes before whatever was built until then (such as what the
        // first export or download builds on first use). A static object first
        // built later is still destroyed before it when another thread than the
        // GUI thread calls exit() (see AheadOfStatics). Bounded, so that a console
        // that runs for months does not grow with each transfer.
        if (taken.fetch_add(1) == 0 && registrations.load() < kRegistrations && ::on_exit(onExit, nullptr) == 0)
            registrations.fetch_add(1);
        return i;
    }
    return -1;
}

// Kills the children and removes the files of every live entry, each once
// whoever comes first. Async-signal-safe: it runs in a signal handler too.
void sweep()
{
    ending.store(true);
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
            if (mine[i] && entries[i].dir >= 0 && entries[i].folder == (pass == 1))
                ::unlinkat(entries[i].dir, entries[i].name, pass == 1 ? AT_REMOVEDIR : 0);
        }
    }
}

void onSignal(int signal)
{
    sweep();
    // The action is back at the default (SA_RESETHAND): delivered once this returns.
    ::raise(signal);
}

// Any exit() (Qt's on a lost display, a library's, a return from main) while
// work is in the table ends as a signal does, with the exit's own status, and
// at once: the destructors of static objects still to come would run under the
// threads that write. What stdio still buffers is not written then. With an
// empty table the exit goes on as usual.
void onExit(int status, void*)
{
    if (taken.load() > 0) {
        sweep();
        ::_exit(status);
    }
}

// exit() runs the destructors of its own thread's thread_local objects before
// any handler, and a handler registered then runs first of all: on the GUI
// thread (Qt's exit on a lost display, a return from main) the cleanup comes
// before every static object, whenever that was built.
struct AheadOfStatics
{
    ~AheadOfStatics()
    {
        if (taken.load() > 0)
            ::on_exit(onExit, nullptr);
    }
};

} // namespace

void ZnEndCleanup::install()
{
    static thread_local AheadOfStatics ahead;
    (void)ahead;
    struct sigaction action = {};
    action.sa_handler = onSignal;
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
    // A folder of its own: whoever added the file may close theirs while the end
    // is removing the file.
    const int own = ::fcntl(dir, F_DUPFD_CLOEXEC, 0);
    if (own < 0)
        return -1;
    const int i = take();
    if (i < 0) {
        ::close(own);
        return -1;
    }
    Entry& e = entries[i];
    e.dir = own;
    e.folder = folder;
    e.pid = 0;
    std::strcpy(e.name, name);
    e.state.store(Live);
    if (ending.load())
        sweep();
    return i;
}

int ZnEndCleanup::addChild(pid_t pid)
{
    if (pid <= 0)
        return -1;
    const int i = take();
    if (i < 0)
        return -1;
    entries[i].dir = -1;
    entries[i].pid = pid;
    entries[i].state.store(Live);
    if (ending.load())
        sweep();
    return i;
}

int ZnEndCleanup::addWrite()
{
    const int i = take();
    if (i < 0)
        return -1;
    entries[i].dir = -1;
    entries[i].pid = 0;
    entries[i].state.store(Live);
    return i;
}

void ZnEndCleanup::remove(int entry)
{
    if (entry < 0 || entry >= kEntries)
        return;
    // Left as it is once the end has it: the process is ending.
    Entry& e = entries[entry];
    const int dir = e.dir;
    int expected = Live;
    if (e.state.compare_exchange_strong(expected, Free)) {
        taken.fetch_sub(1);
        if (dir >= 0)
            ::close(dir);
    }
}
