#pragma once

#include <QString>

#include <sys/types.h>

// The test's next steps run as an operator who is not root (the user nobody):
// what the mode bits of a file or folder forbid him stays forbidden, as it does
// not for root, who runs the suite here and in CI. The effective ids and the
// supplementary groups change for the whole process, every thread; they go back
// when the object goes. Without root to begin with, active() is false and why()
// says so, for QSKIP.
class ZnAsUser
{
public:
    ZnAsUser();
    ~ZnAsUser();
    ZnAsUser(const ZnAsUser &) = delete;
    ZnAsUser &operator=(const ZnAsUser &) = delete;

    bool active() const { return switched; }
    QString why() const { return reason; }

    static uid_t uid();
    static gid_t gid();
    // Makes path (a folder or file made by root) the user's own, so that he may
    // write there; false when it cannot be.
    static bool giveTo(const QString &path);

private:
    QString reason;
    bool switched = false;
};
