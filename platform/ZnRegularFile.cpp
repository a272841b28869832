#include "ZnRegularFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Refusal = ZnRegularFile::Refusal;

ZnRegularFile::Result refuse(std::string* why, const std::string& reason, Refusal* refusal, Refusal::Kind kind,
                             int error = 0)
{
    if (why)
        *why = reason;
    if (refusal)
        *refusal = {kind, error};
    return ZnRegularFile::Refused;
}

ZnRegularFile::Result tooLarge(size_t limit, std::string* why, Refusal* refusal)
{
    return refuse(why, "larger than " + std::to_string(limit) + " bytes", refusal, Refusal::TooLarge);
}

ZnRegularFile::Result judge(const struct stat& st, size_t limit, std::string* why, Refusal* refusal)
{
    if (S_ISDIR(st.st_mode))
        return refuse(why, "a folder, not a file", refusal, Refusal::Folder);
    if (!S_ISREG(st.st_mode))
        return refuse(why, "not a regular file", refusal, Refusal::NotRegular);
    if (st.st_size < 0 || static_cast<unsigned long long>(st.st_size) > limit)
        return tooLarge(limit, why, refusal);
    return ZnRegularFile::Read;
}

ZnRegularFile::Result failed(int error, std::string* why, Refusal* refusal)
{
    if (error == ENOENT)
        return ZnRegularFile::Missing;
    return refuse(why, std::strerror(error), refusal, Refusal::Failed, error);
}

} // namespace

ZnRegularFile::Result ZnRegularFile::check(const char* path, size_t limit, std::string* why, Refusal* refusal)
{
    struct stat st;
    if (!path || ::stat(path, &st) != 0)
        return failed(path ? errno : ENOENT, why, refusal);
    return judge(st, limit, why, refusal);
}

ZnRegularFile::Result ZnRegularFile::read(const char* path, size_t limit, std::string* data, std::string* why,
                                          Refusal* refusal)
{
    // Judged by name first, so that a device is not even opened; then again on
    // what was opened, in case the name was changed in between.
    const Result named = check(path, limit, why, refusal);
    if (named != Read)
        return named;
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return failed(errno, why, refusal);
    struct stat st;
    Result result = ::fstat(fd, &st) == 0 ? judge(st, limit, why, refusal) : failed(errno, why, refusal);
    std::string bytes;
    if (result == Read) {
        // One byte past the limit tells a file that grew meanwhile.
        bytes.resize(static_cast<size_t>(st.st_size) + 1 <= limit ? static_cast<size_t>(st.st_size) + 1 : limit + 1);
        size_t got = 0;
        while (result == Read) {
            if (got == bytes.size()) {
                if (got > limit) {
                    result = tooLarge(limit, why, refusal);
                    break;
                }
                bytes.resize(got + 1 + (limit - got < got ? limit - got : got));
            }
            const ssize_t n = ::read(fd, &bytes[got], bytes.size() - got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                result = failed(errno, why, refusal);
            else if (n == 0)
                break;
            else
                got += static_cast<size_t>(n);
        }
        bytes.resize(got);
    }
    ::close(fd);
    if (result == Read && data)
        data->swap(bytes);
    return result;
}
