#include "ZnAsUser.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <grp.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace {
const uid_t kNobody = 65534;
const gid_t kNoGroup = 65534;
} // namespace

uid_t ZnAsUser::uid()
{
    return kNobody;
}

gid_t ZnAsUser::gid()
{
    return kNoGroup;
}

bool ZnAsUser::giveTo(const QString &path)
{
    return ::chown(QFile::encodeName(path).constData(), kNobody, kNoGroup) == 0;
}

ZnAsUser::ZnAsUser()
{
    if (::geteuid() != 0) {
        reason = QStringLiteral("switching to another user takes root");
        return;
    }
    // Root's own groups would still open files of group root to him.
    if (::setgroups(0, nullptr) != 0 || ::setegid(kNoGroup) != 0 || ::seteuid(kNobody) != 0) {
        reason = QStringLiteral("cannot switch to the user nobody (") + QString::fromLocal8Bit(std::strerror(errno))
                 + QLatin1Char(')');
        ::seteuid(0);
        ::setegid(0);
        return;
    }
    // A change of ids makes the kernel hand /proc/self to root; a program the
    // operator starts keeps it as his own (a memory file is read by its path there).
    ::prctl(PR_SET_DUMPABLE, 1);
    switched = true;
}

ZnAsUser::~ZnAsUser()
{
    if (!switched)
        return;
    // The saved set-user-id is still root's: the way back is open.
    if (::seteuid(0) != 0 || ::setegid(0) != 0) {
        std::perror("ZnAsUser: cannot go back to root");
        std::abort();
    }
    const gid_t rootGroup = 0;
    ::setgroups(1, &rootGroup);
}
