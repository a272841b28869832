// A pass-through file system whose names are at most NAME_MAX_HERE bytes, as on
// an encrypted home folder (143): its statfs says so and a longer name is refused
// with ENAMETOOLONG. Usage: zn_short_names_fs FOLDER MOUNTPOINT NAME_MAX; it
// prints "mounted" once the mount is up and unmounts on SIGTERM.
#define FUSE_USE_VERSION 31
#include <fuse.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

std::string root;
size_t nameMax = 143;

std::string real(const char* path)
{
    return root + path;
}

bool tooLong(const char* path)
{
    for (const char* p = path; *p;) {
        const char* end = std::strchr(p, '/');
        const size_t n = end ? size_t(end - p) : std::strlen(p);
        if (n > nameMax)
            return true;
        p += n + (end ? 1 : 0);
    }
    return false;
}

int result(int r)
{
    return r < 0 ? -errno : r;
}

#define NAMED(path)                                                                                                    \
    if (tooLong(path))                                                                                                 \
    return -ENAMETOOLONG

int fs_getattr(const char* path, struct stat* st, fuse_file_info* fi)
{
    NAMED(path);
    return result(fi ? ::fstat(int(fi->fh), st) : ::lstat(real(path).c_str(), st));
}

int fs_readlink(const char* path, char* buf, size_t size)
{
    NAMED(path);
    const ssize_t n = ::readlink(real(path).c_str(), buf, size - 1);
    if (n < 0)
        return -errno;
    buf[n] = '\0';
    return 0;
}

int fs_mkdir(const char* path, mode_t mode)
{
    NAMED(path);
    return result(::mkdir(real(path).c_str(), mode));
}

int fs_unlink(const char* path)
{
    NAMED(path);
    return result(::unlink(real(path).c_str()));
}

int fs_rmdir(const char* path)
{
    NAMED(path);
    return result(::rmdir(real(path).c_str()));
}

int fs_symlink(const char* to, const char* path)
{
    NAMED(path);
    return result(::symlink(to, real(path).c_str()));
}

int fs_rename(const char* from, const char* to, unsigned int flags)
{
    NAMED(from);
    NAMED(to);
    return result(::renameat2(AT_FDCWD, real(from).c_str(), AT_FDCWD, real(to).c_str(), flags));
}

int fs_link(const char* from, const char* to)
{
    NAMED(to);
    return result(::link(real(from).c_str(), real(to).c_str()));
}

int fs_chmod(const char* path, mode_t mode, fuse_file_info*)
{
    return result(::chmod(real(path).c_str(), mode));
}

int fs_chown(const char* path, uid_t uid, gid_t gid, fuse_file_info*)
{
    return result(::lchown(real(path).c_str(), uid, gid));
}

int fs_truncate(const char* path, off_t size, fuse_file_info* fi)
{
    return result(fi ? ::ftruncate(int(fi->fh), size) : ::truncate(real(path).c_str(), size));
}

int fs_utimens(const char* path, const struct timespec times[2], fuse_file_info*)
{
    return result(::utimensat(AT_FDCWD, real(path).c_str(), times, AT_SYMLINK_NOFOLLOW));
}

int fs_open(const char* path, fuse_file_info* fi)
{
    NAMED(path);
    const int fd = ::open(real(path).c_str(), fi->flags);
    fi->fh = uint64_t(fd);
    return fd < 0 ? -errno : 0;
}

int fs_create(const char* path, mode_t mode, fuse_file_info* fi)
{
    NAMED(path);
    const int fd = ::open(real(path).c_str(), fi->flags, mode);
    fi->fh = uint64_t(fd);
    return fd < 0 ? -errno : 0;
}

int fs_read(const char*, char* buf, size_t size, off_t offset, fuse_file_info* fi)
{
    return result(int(::pread(int(fi->fh), buf, size, offset)));
}

int fs_write(const char*, const char* buf, size_t size, off_t offset, fuse_file_info* fi)
{
    return result(int(::pwrite(int(fi->fh), buf, size, offset)));
}

int fs_statfs(const char* path, struct statvfs* st)
{
    const int r = result(::statvfs(real(path).c_str(), st));
    st->f_namemax = nameMax;
    return r;
}

int fs_release(const char*, fuse_file_info* fi)
{
    ::close(int(fi->fh));
    return 0;
}

int fs_fsync(const char*, int, fuse_file_info* fi)
{
    return result(::fsync(int(fi->fh)));
}

int fs_fallocate(const char*, int mode, off_t offset, off_t length, fuse_file_info* fi)
{
    return result(::fallocate(int(fi->fh), mode, offset, length));
}

int fs_readdir(const char* path, void* buf, fuse_fill_dir_t fill, off_t, fuse_file_info*, fuse_readdir_flags)
{
    NAMED(path);
    DIR* dir = ::opendir(real(path).c_str());
    if (!dir)
        return -errno;
    while (dirent* e = ::readdir(dir))
        fill(buf, e->d_name, nullptr, 0, fuse_fill_dir_flags(0));
    ::closedir(dir);
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s FOLDER MOUNTPOINT NAME_MAX\n", argv[0]);
        return 2;
    }
    root = argv[1];
    nameMax = size_t(std::atoi(argv[3]));
    fuse_operations ops = {};
    ops.getattr = fs_getattr;
    ops.readlink = fs_readlink;
    ops.mkdir = fs_mkdir;
    ops.unlink = fs_unlink;
    ops.rmdir = fs_rmdir;
    ops.symlink = fs_symlink;
    ops.rename = fs_rename;
    ops.link = fs_link;
    ops.chmod = fs_chmod;
    ops.chown = fs_chown;
    ops.truncate = fs_truncate;
    ops.utimens = fs_utimens;
    ops.open = fs_open;
    ops.create = fs_create;
    ops.read = fs_read;
    ops.write = fs_write;
    ops.statfs = fs_statfs;
    ops.release = fs_release;
    ops.fsync = fs_fsync;
    ops.fallocate = fs_fallocate;
    ops.readdir = fs_readdir;
    fuse_args args = FUSE_ARGS_INIT(0, nullptr);
    fuse_opt_add_arg(&args, argv[0]);
    // The kernel judges permissions by the modes; a user other than root may enter.
    fuse_opt_add_arg(&args, "-odefault_permissions,allow_other,fsname=zn_short_names");
    fuse* fs = fuse_new(&args, &ops, sizeof ops, nullptr);
    if (!fs || fuse_mount(fs, argv[2]) != 0)
        return 1;
    fuse_set_signal_handlers(fuse_get_session(fs));
    std::printf("mounted\n");
    std::fflush(stdout);
    const int r = fuse_loop(fs);
    fuse_remove_signal_handlers(fuse_get_session(fs));
    fuse_unmount(fs);
    fuse_destroy(fs);
    fuse_opt_free_args(&args);
    return r == 0 ? 0 : 1;
}
