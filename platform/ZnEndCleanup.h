#pragma once

#include <sys/types.h>

// What a console ended by SIGTERM, SIGINT or SIGHUP takes with it: the files it
// was still writing (a temporary file beside a download or an export) and the
// children still working for it (lame). The handler only unlinks names and kills
// processes held in a fixed table, then ends the process by the signal's own
// default action, so the exit status is the signal's. An exit() while the table
// holds anything (Qt calls exit(1) when the display goes away) does the same and
// ends the process at once with the exit's status, before static objects that a
// writing thread may still use are destroyed. A SIGKILL is seen by no handler:
// what was being written then stays.
class ZnEndCleanup
{
public:
    // For each of the three signals not ignored (nohup's SIGHUP stays ignored);
    // an exit() on the calling thread, the GUI thread, is met ahead of all else.
    static void install();

    // An entry of the table, or -1 when it is full (the file or child is then
    // simply not taken along).
    // name (at most NAME_MAX bytes) in the folder held open as dir; a folder when
    // folder is set, removed once the files in the table are.
    static int addFile(int dir, const char* name, bool folder = false);
    // A child, killed and waited for before any file goes.
    static int addChild(pid_t pid);
    // A write that leaves nothing to remove (a file written in place gathers in a
    // file of no name): while it runs, an exit() ends as a signal does.
    static int addWrite();
    // The entry is done with: its file was renamed or removed, its child ended.
    static void remove(int entry);
};
