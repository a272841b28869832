#pragma once

#include <cstddef>
#include <string>

// A file that takes its target's place only once every byte of it is on the
// disk: written beside the target under a hidden temporary name, synced, then
// renamed over it in one step. Till then a file of the target's name stays as it
// was; a file given up, or one whose write failed (a full disk), leaves nothing
// behind. The folder is held open and the temporary name is cut to fit a name's
// limit, so every target whose own path is legal can be written, also one of
// PATH_MAX - 1 bytes; one whose name or path cannot exist here is refused as
// too long before anything is made.
class ZnNewFile
{
public:
    enum Problem { NoProblem, DiskFull, NameTooLong, PathTooLong, OtherError };

    explicit ZnNewFile(const std::string& target);
    ~ZnNewFile();
    ZnNewFile(const ZnNewFile&) = delete;
    ZnNewFile& operator=(const ZnNewFile&) = delete;

    // Makes the temporary file: 0666 less the umask, or the permissions of the
    // file of the target's name.
    bool open();
    bool write(const void* data, size_t n);
    // Syncs the bytes and puts the file in the target's place, replacing a file
    // of that name.
    bool commit();
    // Syncs the bytes and gives the file another name in the target's folder,
    // only while no file has that name: false with error() EEXIST then (and no
    // problem()), the file kept for another name.
    bool commitAs(const std::string& name);
    // Drops the temporary file; the target stays as it was.
    void cancel();

    // The errno of the first failure, and what it means for the operator.
    int error() const { return m_errno; }
    Problem problem() const { return m_problem; }
    static Problem problemOf(int error);
    // Whether such a target can exist at all: NameTooLong, PathTooLong or NoProblem.
    static Problem checkTarget(const std::string& target);
    // The temporary name for a target's name, at most NAME_MAX bytes.
    static std::string temporaryName(const std::string& name, unsigned long random);

private:
    bool fail(int error);
    bool finish();

    std::string m_folder;
    std::string m_name;
    std::string m_temp;
    int m_dir = -1;
    int m_fd = -1;
    int m_errno = 0;
    Problem m_problem = NoProblem;
    bool m_synced = false;
};
