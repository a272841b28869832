#include "ZnAsUser.h"
#include "ZnEndCleanup.h"
#include "ZnHeapSetup.h"
#include "ZnNewFile.h"
#include "ZnShortNameDisk.h"
#include "ZnSmallDisk.h"
#include "ZnSocket.h"
#include "ZnThread.h"

#include <QtTest>

#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <future>
#include <linux/magic.h>
#include <malloc.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <thread>
#include <unistd.h>

namespace {
// A listening socket on an ephemeral loopback port.
struct Listener
{
    Listener()
    {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof(a);
        if (::bind(fd, reinterpret_cast<sockaddr *>(&a), len) != 0 || ::listen(fd, 1) != 0
            || ::getsockname(fd, reinterpret_cast<sockaddr *>(&a), &len) != 0)
            qFatal("no listening socket");
        ZnSocket::makeAddress("127.0.0.1", ntohs(a.sin_port), address);
    }
    ~Listener()
    {
        ::close(peer);
        ::close(fd);
    }
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    int peer = -1;
    sockaddr_in address;
};

// A POSIX ACL as the kernel keeps it: the user and group of the file, one more
// user with read and write, the mask and the others.
QByteArray aclGranting(uid_t user)
{
    QByteArray acl;
    const auto put = [&acl](quint32 value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            acl += char((value >> (8 * i)) & 0xff);
    };
    put(2, 4); // version
    const quint32 none = 0xffffffff;
    const quint32 entries[][3] = {{0x01, 6, none}, {0x02, 6, user}, {0x04, 4, none}, {0x10, 6, none}, {0x20, 4, none}};
    for (const auto &e : entries) {
        put(e[0], 2);
        put(e[1], 2);
        put(e[2], 4);
    }
    return acl;
}

// Every name below root, with what a link names; the state of a file.
QStringList tree(const QString &root)
{
    QStringList out;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info(path);
        out << path.mid(root.size() + 1)
                   + (info.isSymLink() ? QStringLiteral(" -> ") + info.symLinkTarget() : QString());
    }
    out.sort();
    return out;
}

struct FileState
{
    struct stat st = {};
    QByteArray bytes;
    QByteArray acl;
    QByteArray note;
};

QByteArray attributeOf(const QByteArray &path, const char *name)
{
    char value[1024];
    const ssize_t n = ::lgetxattr(path.constData(), name, value, sizeof value);
    return n < 0 ? QByteArray() : QByteArray(value, int(n));
}

// What this process holds in memory: its resident pages, and the open files that
// live in memory (memfd, tmpfs) but on the disk named.
qint64 memoryHeld(dev_t besides)
{
    QFile status(QStringLiteral("/proc/self/status"));
    const QByteArray text = status.open(QIODevice::ReadOnly) ? status.readAll() : QByteArray();
    qint64 held = text.mid(text.indexOf("VmRSS:") + 6).trimmed().split(' ').value(0).toLongLong() * 1024;
    for (const QFileInfo &fd : QDir(QStringLiteral("/proc/self/fd")).entryInfoList(QDir::System | QDir::Files)) {
        struct stat st;
        struct statfs fs;
        const QByteArray path = QFile::encodeName(fd.filePath());
        if (::stat(path.constData(), &st) == 0 && st.st_dev != besides && ::statfs(path.constData(), &fs) == 0
            && fs.f_type == TMPFS_MAGIC)
            held += qint64(st.st_blocks) * 512;
    }
    return held;
}

FileState stateOf(const QString &path)
{
    FileState s;
    const QByteArray p = QFile::encodeName(path);
    ::lstat(p.constData(), &s.st);
    QFile f(path);
    if (f.open(QIODevice::ReadOnly))
        s.bytes = f.readAll();
    s.acl = attributeOf(p, "system.posix_acl_access");
    s.note = attributeOf(p, "user.operator.note");
    return s;
}
}

class TstPlatform : public QObject
{
    Q_OBJECT

    // A folder below a temporary one that the user nobody may reach.
    static QString reachableFolder(QTemporaryDir &holder)
    {
        const QString root = holder.filePath(QStringLiteral("root"));
        ::chmod(QFile::encodeName(holder.path()).constData(), 0755);
        return QDir().mkpath(root) ? root : QString();
    }

private slots:
    // A large block freed must not make every later large block (the next list
    // answer) come from the heap, where its room would stay.
    void largeBlocksStayApartAfterAFree()
    {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("the sanitizer's allocator has a heap of its own");
#else
        ZnHeapSetup::apply();
        // Through a pointer the compiler cannot see through, so no pair is left out.
        void *(*volatile allocate)(size_t) = std::malloc;
        void *first = allocate(4 * 1024 * 1024);
        QVERIFY(first);
        std::free(first);
        const size_t mappedBefore = mallinfo2().hblkhd;
        void *second = allocate(2 * ZnHeapSetup::kOwnMappingBytes);
        QVERIFY(second);
        const size_t mappedAfter = mallinfo2().hblkhd;
        std::free(second);
        QVERIFY2(mappedAfter >= mappedBefore + 2 * ZnHeapSetup::kOwnMappingBytes, "the block came from the heap");
#endif
    }

    // A dotted address is four decimal numbers, zero-padded or not; anything else
    // is none (and fails at the connect, as an unreachable server does).
    void dottedAddress_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("address"); // as it is dialled; empty: none
        const auto row = [](const char *name, const char *text, const char *address) {
            QTest::newRow(name) << QString::fromLatin1(text) << QString::fromLatin1(address);
        };
        row("plain", "192.168.1.100", "192.168.1.100");
        row("zero-padded parts are decimal, not octal", "127.077.000.002", "127.77.0.2");
        row("padded 010 is ten", "010.001.000.010", "10.1.0.10");
        row("padded past three digits", "127.0000001.0.1", "127.1.0.1");
        row("padded 8 and 9, no octal digits", "127.008.009.1", "127.8.9.1");
        row("highest parts", "255.255.255.255", "255.255.255.255");
        row("a part past 255", "127.0.0.256", "");
        row("padded part past 255", "127.0.0.0256", "");
        row("three numbers", "127.0.1", "");
        row("five numbers", "1.2.3.4.5", "");
        row("empty part", "1..2.3", "");
        row("trailing dot", "1.2.3.4.", "");
        row("sign", "+1.2.3.4", "");
        row("negative part", "1.2.-3.4", "");
        row("blank around", " 1.2.3.4", "");
        row("blank after", "1.2.3.4 ", "");
        row("hexadecimal", "0x7f.0.0.1", "");
        row("a name", "localhost", "");
        row("empty", "", "");
        row("digits past 64 bits", "99999999999999999999999.0.0.1", "");
    }
    void dottedAddress()
    {
        QFETCH(QString, text);
        QFETCH(QString, address);
        sockaddr_in a;
        QCOMPARE(ZnSocket::makeAddress(text.toStdString(), 8999, a), !address.isEmpty());
        char shown[INET_ADDRSTRLEN] = "";
        if (!address.isEmpty()) {
            QVERIFY(::inet_ntop(AF_INET, &a.sin_addr, shown, sizeof shown));
            QCOMPARE(int(ntohs(a.sin_port)), 8999);
        }
        QCOMPARE(QString::fromLatin1(shown), address);
        QCOMPARE(QString::fromStdString(ZnSocket::plainAddress(text.toStdString())),
                 address.isEmpty() ? text : address);
    }

    // The writer replaces what the target names as fopen("w") writes it: through
    // links (the link kept), never a file its user may not write, and keeping
    // what the operator set up (other hard links, owner, group, mode, ACL and
    // other attributes, a default ACL of the folder not given to a file without
    // one), in place where a new file could not be what the old one was. Setup
    // lines: "f PATH [MODE] [root]" a file holding "old" (the acting user's, or
    // root's), "d PATH" a folder, "L PATH" a folder of root's that the user may
    // not write, "l PATH TEXT" a link (@ for the root folder), "h PATH OTHER" a
    // hard link, "a PATH" an ACL that grants nobody, "D PATH" a folder's default
    // ACL, "u PATH" a user attribute, "R PATH" a read-only mount of the folder,
    // "T" a temporary folder (TMPDIR) that is missing, "F" one on a full disk. A
    // large write is gathered on a disk till commit(), not in memory.
    void targetsAsFopenSeesThem_data()
    {
        QTest::addColumn<QStringList>("setup");
        QTest::addColumn<bool>("asUser"); // else root
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("written"); // the file that then holds "new"; empty: refused
        QTest::addColumn<int>("error");
        QTest::addColumn<bool>("inPlace");
        QTest::addColumn<int>("size"); // of what is written, "new" and more
        const auto row = [](const char *name, const char *setup, bool asUser, const char *target, const char *written,
                            int error = 0, bool inPlace = false, int size = 3) {
            QTest::newRow(name) << QString::fromUtf8(setup).split(QLatin1Char(';')) << asUser
                                << QString::fromUtf8(target) << QString::fromUtf8(written) << error << inPlace << size;
        };
        row("a plain file: replaced by a new one", "f config.ini", false, "config.ini", "config.ini");
        row("a link beside its file: the file replaced, the link kept", "f real.ini;l config.ini real.ini", false,
            "config.ini", "real.ini");
        row("a chain of links, one relative from its own folder",
            "d sub;f real.ini;l config.ini one;l one sub/two;l sub/two ../real.ini", false, "config.ini", "real.ini");
        row("a relative link into another folder",
            "d a;d shared;f shared/config.ini;l a/config.ini ../shared/config.ini", false, "a/config.ini",
            "shared/config.ini");
        row("an absolute link into another folder",
            "d a;d shared;f shared/config.ini;l a/config.ini @/shared/config.ini", false, "a/config.ini",
            "shared/config.ini");
        row("a dangling link: the file it names is made", "d shared;l config.ini shared/new.ini", false, "config.ini",
            "shared/new.ini");
        row("a dangling link into no folder: ENOENT", "l config.ini missing/new.ini", false, "config.ini", "", ENOENT);
        row("a loop of links: ELOOP", "l config.ini loop;l loop config.ini", false, "config.ini", "", ELOOP);
        row("a link to a folder: EISDIR", "d shared;l config.ini shared", false, "config.ini", "", EISDIR);
        row("a folder that takes no new file: written in place", "L a;f a/config.ini", true, "a/config.ini",
            "a/config.ini", 0, true);
        row("a link into a folder that takes no new file: written in place",
            "d a;L shared;f shared/config.ini;l a/config.ini ../shared/config.ini", true, "a/config.ini",
            "shared/config.ini", 0, true);
        row("a folder that takes no new file, 32 MiB: gathered in the temporary folder", "L a;f a/config.ini", true,
            "a/config.ini", "a/config.ini", 0, true, 32 << 20);
        row("a folder that takes no new file, no temporary folder: EACCES, the file kept", "L a;f a/config.ini;T", true,
            "a/config.ini", "", EACCES);
        row("a folder that takes no new file, a full temporary folder: ENOSPC, the file kept", "L a;f a/config.ini;F",
            true, "a/config.ini", "", ENOSPC, true);
        row("a new file where the folder takes none: EACCES", "L a", true, "a/new.ini", "", EACCES);
        row("the operator's file of mode 0444: EACCES", "f config.ini 0444", true, "config.ini", "", EACCES);
        row("a link to a file of mode 0444: EACCES", "f real.ini 0444;l config.ini real.ini", true, "config.ini", "",
            EACCES);
        row("another user's file of mode 0644: EACCES", "f config.ini 0644 root", true, "config.ini", "", EACCES);
        row("a file of mode 0444, for root: written, its mode kept", "f config.ini 0444 root", false, "config.ini",
            "config.ini");
        row("a read-only disk: EROFS", "d ro;f ro/config.ini;R ro", false, "ro/config.ini", "", EROFS);
        row("a link into a read-only disk: EROFS", "d ro;f ro/config.ini;R ro;l config.ini ro/config.ini", false,
            "config.ini", "", EROFS);
        row("hard links: written in place, every name sees it", "f config.ini;h other.ini config.ini", false,
            "config.ini", "config.ini", 0, true);
        row("hard links, 32 MiB: gathered beside, not in memory", "f config.ini;h other.ini config.ini", false,
            "config.ini", "config.ini", 0, true, 32 << 20);
        row("another user's file the operator may write: in place, its owner kept", "f config.ini 0666 root", true,
            "config.ini", "config.ini", 0, true);
        row("the operator's file, written by root: replaced, his owner kept", "f config.ini 0640", false, "config.ini",
            "config.ini");
        row("an ACL: the new file carries it", "f config.ini 0640 root;a config.ini", false, "config.ini",
            "config.ini");
        row("a folder's default ACL: not given to a file without one", "d a;f a/config.ini 0600 root;D a", false,
            "a/config.ini", "a/config.ini");
        row("a user attribute: the new file carries it", "f config.ini;u config.ini", false, "config.ini",
            "config.ini");
    }
    void targetsAsFopenSeesThem()
    {
        QFETCH(QStringList, setup);
        QFETCH(bool, asUser);
        QFETCH(QString, target);
        QFETCH(QString, written);
        QFETCH(int, error);
        QFETCH(bool, inPlace);
        QFETCH(int, size);
        QTemporaryDir holder;
        const QString root = reachableFolder(holder);
        QVERIFY(!root.isEmpty());
        const auto at = [&root](const QString &path) { return QFile::encodeName(root + QLatin1Char('/') + path); };
        if (asUser)
            QVERIFY(ZnAsUser::giveTo(root));
        QStringList readOnly;
        const QByteArray tmpdir = qgetenv("TMPDIR");
        std::unique_ptr<ZnSmallDisk> fullTmp;
        const auto unmount = qScopeGuard([&] {
            for (const QString &path : readOnly)
                ::umount2(at(path).constData(), MNT_DETACH);
            tmpdir.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", tmpdir);
        });
        for (const QString &line : setup) {
            const QStringList w = line.split(QLatin1Char(' '));
            const QByteArray path = at(w.value(1));
            const QString op = w[0];
            if (op == QLatin1String("f")) {
                QFile f(QFile::decodeName(path));
                QVERIFY(f.open(QIODevice::WriteOnly) && f.write("old") == 3);
                f.close();
                QCOMPARE(::chmod(path.constData(), w.size() > 2 ? w[2].toUInt(nullptr, 8) : 0644), 0);
                if (w.value(3) != QLatin1String("root") && (asUser || w.size() > 2))
                    QVERIFY(ZnAsUser::giveTo(QFile::decodeName(path)));
            } else if (op == QLatin1String("d") || op == QLatin1String("L")) {
                QVERIFY(QDir().mkpath(QFile::decodeName(path)));
                if (asUser && op == QLatin1String("d"))
                    QVERIFY(ZnAsUser::giveTo(QFile::decodeName(path)));
            } else if (op == QLatin1String("l")) {
                QCOMPARE(::symlink(QFile::encodeName(QString(w[2]).replace(QLatin1Char('@'), root)).constData(),
                                   path.constData()),
                         0);
            } else if (op == QLatin1String("h")) {
                QCOMPARE(::link(at(w[2]).constData(), path.constData()), 0);
            } else if (op == QLatin1String("a") || op == QLatin1String("D")) {
                const QByteArray acl = aclGranting(ZnAsUser::uid());
                const char *name = op == QLatin1String("a") ? "system.posix_acl_access" : "system.posix_acl_default";
                if (::setxattr(path.constData(), name, acl.constData(), size_t(acl.size()), 0) != 0)
                    QSKIP(qPrintable(QStringLiteral("no ACLs here: ") + QString::fromLocal8Bit(std::strerror(errno))));
            } else if (op == QLatin1String("u")) {
                if (::setxattr(path.constData(), "user.operator.note", "kept", 4, 0) != 0)
                    QSKIP(qPrintable(QStringLiteral("no user attributes here: ")
                                     + QString::fromLocal8Bit(std::strerror(errno))));
            } else if (op == QLatin1String("R")) {
                if (::mount(path.constData(), path.constData(), nullptr, MS_BIND, nullptr) != 0)
                    QSKIP(qPrintable(QStringLiteral("no bind mount here: ")
                                     + QString::fromLocal8Bit(std::strerror(errno))));
                readOnly << w[1];
                QCOMPARE(::mount(nullptr, path.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr), 0);
            } else if (op == QLatin1String("T")) {
                qputenv("TMPDIR", at(QStringLiteral("missing")));
            } else if (op == QLatin1String("F")) {
                fullTmp = std::make_unique<ZnSmallDisk>(64 * 1024);
                if (!fullTmp->mounted())
                    QSKIP(qPrintable(fullTmp->why()));
                QVERIFY(ZnAsUser::giveTo(fullTmp->path()));
                QVERIFY(fullTmp->leaveFree(0));
                qputenv("TMPDIR", QFile::encodeName(fullTmp->path()));
            }
        }
        const QStringList before = tree(root);
        const FileState earlier = stateOf(root + QLatin1Char('/') + (written.isEmpty() ? target : written));
        QByteArray content("new");
        while (content.size() < size)
            content += content.left(size - content.size());
        bool done = false;
        qint64 grown = 0;
        {
            std::unique_ptr<ZnAsUser> user(asUser ? new ZnAsUser : nullptr);
            if (user && !user->active())
                QSKIP(qPrintable(user->why()));
            ZnNewFile file(at(target).toStdString());
            const qint64 held = memoryHeld(earlier.st.st_dev);
            done = file.open() && file.write(content.constData(), size_t(content.size()));
            grown = memoryHeld(earlier.st.st_dev) - held;
            done = done && file.commit();
            QCOMPARE(file.error(), error);
            QCOMPARE(file.inPlace(), inPlace);
        }
        // Memory does not grow with the write: its bytes wait on a disk.
        QVERIFY2(size < (1 << 20) || grown < size / 4, qPrintable(QStringLiteral("%1 bytes more").arg(grown)));
        QCOMPARE(done, !written.isEmpty());
        QStringList after = before;
        if (!written.isEmpty() && earlier.bytes.isEmpty()) {
            after << written;
            after.sort();
        }
        // No temporary file left, every link as it was.
        QCOMPARE(tree(root), after);
        const FileState now = stateOf(root + QLatin1Char('/') + (written.isEmpty() ? target : written));
        QCOMPARE(now.bytes, written.isEmpty() ? earlier.bytes : content);
        if (earlier.bytes.isEmpty())
            return;
        QCOMPARE(now.st.st_ino == earlier.st.st_ino, inPlace || written.isEmpty());
        QCOMPARE(QString::number(now.st.st_mode, 8), QString::number(earlier.st.st_mode, 8));
        QCOMPARE(now.st.st_uid, earlier.st.st_uid);
        QCOMPARE(now.st.st_gid, earlier.st.st_gid);
        QCOMPARE(now.st.st_nlink, earlier.st.st_nlink);
        QCOMPARE(now.acl, earlier.acl);
        QCOMPARE(now.note, earlier.note);
    }

    // Each name commitAs() is given is judged, also after a first one was taken
    // (the file then synced): a later name with a "/" moved the file into a
    // subfolder and said it was written.
    void commitAsJudgesEveryName_data()
    {
        QTest::addColumn<QByteArray>("second");
        QTest::addColumn<int>("problem");
        QTest::newRow("a name with a slash") << QByteArray("sub/copy") << int(ZnNewFile::OtherError);
        QTest::newRow("the parent") << QByteArray("..") << int(ZnNewFile::OtherError);
        QTest::newRow("a name past the folder's limit") << QByteArray(256, 'n') << int(ZnNewFile::NameTooLong);
    }
    void commitAsJudgesEveryName()
    {
        QFETCH(QByteArray, second);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
        QFile taken(dir.filePath(QStringLiteral("copy")));
        QVERIFY(taken.open(QIODevice::WriteOnly) && taken.write("taken") == 5);
        taken.close();
        ZnNewFile file(QFile::encodeName(dir.filePath(QStringLiteral("copy"))).toStdString(), ZnNewFile::NameAnew);
        QVERIFY(file.open() && file.write("new", 3));
        QVERIFY(!file.commitAs("copy"));
        QCOMPARE(file.error(), EEXIST);
        QCOMPARE(int(file.problem()), int(ZnNewFile::NoProblem));
        QVERIFY(!file.commitAs(second.toStdString()));
        QTEST(int(file.problem()), "problem");
        QCOMPARE(tree(dir.path()), QStringList({QStringLiteral("copy"), QStringLiteral("sub")}));
    }

    // A folder whose names are at most 143 bytes (an encrypted home folder): every
    // name that fits it is written, the temporary name cut to its limit (on a
    // character boundary), and a longer name is too long by that limit. The
    // temporary name was cut to 255 bytes, and names that fit failed as a path
    // too long.
    void namesFitTheFolder_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("problem");
        QTest::newRow("143 bytes") << QString(143, QLatin1Char('n')) << int(ZnNewFile::NoProblem);
        QTest::newRow("130 bytes") << QString(130, QLatin1Char('n')) << int(ZnNewFile::NoProblem);
        QTest::newRow("47 Chinese characters (141 bytes)") << QString(47, QChar(0x5e7f)) << int(ZnNewFile::NoProblem);
        QTest::newRow("144 bytes: too long there") << QString(144, QLatin1Char('n')) << int(ZnNewFile::NameTooLong);
    }
    void namesFitTheFolder()
    {
        QFETCH(QString, name);
        QFETCH(int, problem);
        const QByteArray bytes = name.toUtf8();
        const std::string temp = ZnNewFile::temporaryName(bytes.toStdString(), ULONG_MAX, 143);
        QVERIFY(temp.size() <= 143);
        QCOMPARE(QString::fromUtf8(temp.c_str()).toUtf8(), QByteArray(temp.c_str()));
        ZnShortNameDisk disk(143);
        if (!disk.mounted())
            QSKIP(qPrintable(disk.why()));
        const QString target = disk.path() + QLatin1Char('/') + name;
        for (bool again : {false, true}) {
            ZnNewFile file(QFile::encodeName(target).toStdString());
            const bool done = file.open() && file.write(again ? "again" : "first", 5) && file.commit();
            QCOMPARE(int(file.problem()), problem);
            QCOMPARE(done, problem == ZnNewFile::NoProblem);
        }
        const QStringList left = QDir(disk.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        QCOMPARE(left, problem == ZnNewFile::NoProblem ? QStringList{name} : QStringList());
        QFile f(target);
        QCOMPARE(f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray(),
                 problem ? QByteArray() : QByteArray("again"));
    }

    // A process that calls exit() while it writes a file ends at once with that
    // status: the file being written goes, the earlier file of its name stays, and
    // what was to run at exit does not run. Also where the writer has closed its
    // folder (the number going to another folder) by then, and on the thread that
    // installed the cleanup, where a static object was first built after the write
    // began (it would be destroyed before a handler registered as the write began).
    void exitWhileWritingLeavesNothing_data()
    {
        QTest::addColumn<bool>("folderClosed");
        QTest::addColumn<bool>("builtAfter");
        QTest::addColumn<bool>("inPlace"); // a second hard link: written in place
        QTest::newRow("mid-write") << false << false << false;
        QTest::newRow("its folder closed by the writer") << true << false << false;
        QTest::newRow("a static built after the write began") << false << true << false;
        QTest::newRow("in place, mid-write") << false << false << true;
    }
    void exitWhileWritingLeavesNothing()
    {
        QFETCH(bool, folderClosed);
        QFETCH(bool, builtAfter);
        QFETCH(bool, inPlace);
        QTemporaryDir dir;
        QFile earlier(dir.filePath(QStringLiteral("log.csv")));
        QVERIFY(earlier.open(QIODevice::WriteOnly) && earlier.write("earlier") == 7);
        earlier.close();
        QStringList left{QStringLiteral("log.csv")};
        if (inPlace) {
            QCOMPARE(::link(QFile::encodeName(earlier.fileName()).constData(),
                            QFile::encodeName(dir.filePath(QStringLiteral("second"))).constData()),
                     0);
            left << QStringLiteral("second");
        }
        static std::string folder;
        folder = QFile::encodeName(dir.path()).toStdString();
        struct AtExit
        {
            static void mark() { ::close(::open((folder + "/ran at exit").c_str(), O_WRONLY | O_CREAT, 0600)); }
            ~AtExit() { mark(); }
        };
        const pid_t child = ::fork();
        if (child == 0) {
            std::atexit(AtExit::mark);
            if (builtAfter)
                ZnEndCleanup::install();
            ZnNewFile *file = new ZnNewFile(folder + "/log.csv");
            if (!file->open() || !file->write("new", 3) || file->inPlace() != inPlace)
                ::_exit(1);
            if (builtAfter) {
                static AtExit late;
            }
            if (folderClosed) {
                const int at = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
                ::close(::openat(at, "more.part", O_WRONLY | O_CREAT | O_CLOEXEC, 0600));
                ZnEndCleanup::addFile(at, "more.part");
                ::close(at);
                ::open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            }
            std::exit(4);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 4);
        QCOMPARE(tree(dir.path()), left);
        QVERIFY(earlier.open(QIODevice::ReadOnly));
        QCOMPARE(earlier.readAll(), QByteArray("earlier"));
    }

    // Far more than the socket buffers hold: the sender must resume.
    void largeSendsGoOutWhole()
    {
        Listener l;
        ZnSocket s;
        QCOMPARE(s.connectTo(l.address, 3000), 0);
        l.peer = ::accept(l.fd, nullptr, nullptr);
        const std::string data(8 * 1024 * 1024, 'z');
        std::size_t got = 0;
        std::thread reader([&] {
            char buf[4096];
            for (ssize_t n; got < data.size() && (n = ::recv(l.peer, buf, sizeof(buf), 0)) > 0;)
                got += std::size_t(n);
        });
        QCOMPARE(s.sendAll(data.data(), data.size()), 0);
        reader.join();
        QCOMPARE(got, data.size());
    }

    // Starting again waits for the first run; the owner joins on destruction.
    void threadIsOwnedAndJoinable()
    {
        std::atomic<int> runs{0};
        {
            ZnThread t;
            QVERIFY(t.start([&] { ++runs; }));
            // Still waiting when the owner goes: only a join makes the count 2.
            std::promise<void> go;
            QVERIFY(t.start([&runs, f = go.get_future().share()] {
                f.wait();
                ++runs;
            }));
            go.set_value();
        }
        QCOMPARE(runs.load(), 2);
    }
};

QTEST_GUILESS_MAIN(TstPlatform)
#include "tst_platform.moc"
