#pragma once

#include <climits>
#include <cstddef>
#include <string>
#include <sys/stat.h>

// A file that takes its target's place only once every byte of it is on the
// disk: written beside the target under a hidden temporary name, synced, then
// renamed over it in one step. Till then a file of the target's name stays as it
// was; a file given up, or one whose write failed (a full disk), leaves nothing
// behind, nor does a console ended by a signal or an exit() (see ZnEndCleanup). The folder is
// held open and the temporary name is cut to fit the folder's limit of a name, so
// every target whose own path is legal can be written, also one of PATH_MAX - 1
// bytes; one whose name or path cannot exist there is refused as too long before
// anything is made.
//
// What the operator set up stays as fopen("w") kept it: a target that is a
// symbolic link stays a link, and the file it names (a chain followed, a
// dangling link's file made) is the one replaced, in its own folder. A file its
// user may not write is refused (EACCES, as the kernel judges an open for
// writing). Where the new file could not be what the old one was (the folder
// takes no new file, the file has other hard links, or its owner, group or
// extended attributes, POSIX ACLs among them, cannot be given to a new file), the
// bytes are gathered in a file of no name, private to this process, and copied
// over the old ones at commit(), once room for all of them is reserved: a full
// disk still leaves the file as it was, but a console killed during that copy
// leaves it part-written. That file lies beside the target, on the disk chosen
// for it, or where the folder takes no new file in the temporary folder ($TMPDIR,
// else /tmp), so that the memory a write takes does not grow with its size.
class ZnNewFile
{
public:
    // Why the file failed: a name or path this system cannot hold, or an errno
    // (error()), which ZnFileFailure tells the operator.
    enum Problem { NoProblem, NameTooLong, PathTooLong, OtherError };
    // Replace: commit() puts the file in the target's place. NameAnew: commitAs()
    // gives it a name of its own in the target's folder, the target naming only
    // the folder and the first name tried; links are not followed.
    enum Use { Replace, NameAnew };

    explicit ZnNewFile(const std::string& target, Use use = Replace);
    ~ZnNewFile();
    ZnNewFile(const ZnNewFile&) = delete;
    ZnNewFile& operator=(const ZnNewFile&) = delete;

    // Makes the temporary file: 0666 less the umask, or the permissions (owner,
    // group, extended attributes) of the file it replaces.
    bool open();
    bool write(const void* data, size_t n);
    // Syncs the bytes and puts the file in the target's place, replacing a file
    // of that name (Replace only).
    bool commit();
    // Syncs the bytes and gives the file another name in the target's folder,
    // only while no file has that name: false with error() EEXIST then (and no
    // problem()), the file kept for another name (NameAnew only).
    bool commitAs(const std::string& name);
    // Drops the temporary file; the target stays as it was.
    void cancel();
    // Whether commit() writes over the old file in place (see above).
    bool inPlace() const { return m_inPlace; }

    // The errno of the first failure, and whether the file failed.
    int error() const { return m_errno; }
    Problem problem() const { return m_problem; }
    // Whether such a target can exist at all: NameTooLong, PathTooLong or NoProblem.
    static Problem checkTarget(const std::string& target);
    // The temporary name for a target's name, at most nameMax bytes.
    static std::string temporaryName(const std::string& name, unsigned long random, size_t nameMax = NAME_MAX);

private:
    bool fail(int error);
    // Follows the target's links to the file they name; earlier gets that file's
    // state when it exists.
    bool resolve(struct stat* earlier, bool* exists);
    bool makeTemporary();
    // Gives the temporary file what the earlier one had; false where it cannot.
    bool takeOver(const struct stat& earlier);
    bool openInPlace();
    // The file of no name the bytes of an in-place write are gathered in.
    bool openGathering();
    bool commitInPlace();
    bool finish();
    // After the rename: the file in its place, or (done false) dropped with errno told.
    bool renamed(bool done);
    void dropTemporary();

    Use m_use;
    std::string m_folder;
    std::string m_name;
    std::string m_temp;
    int m_dir = -1;
    int m_fd = -1;
    int m_target = -1;           // the old file, written in place
    int m_gathering = -1;        // the bytes for it, till commit()
    int m_entry = -1;            // of the temporary file, in ZnEndCleanup's table
    size_t m_nameMax = NAME_MAX; // of the folder
    int m_errno = 0;
    Problem m_problem = NoProblem;
    bool m_synced = false;
    bool m_inPlace = false;
};
