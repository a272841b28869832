#include "ZnFileFailure.h"

#include <cerrno>
#include <cstring>

ZnFileFailure ZnFileFailure::ofWrite(int error)
{
    switch (error) {
    case 0:
        return {};
    case ENOSPC:
        return {DiskFull, error};
    case EDQUOT:
        return {OverQuota, error};
    case EROFS:
        return {ReadOnlyDisk, error};
    case EACCES:
    case EPERM:
        return {NoWritePermission, error};
    // A part of the path that is a file is no folder either.
    case ENOENT:
    case ENOTDIR:
        return {NoSuchFolder, error};
    case ENAMETOOLONG:
        return {PathTooLong, error};
    case EIO:
        return {DiskError, error};
    default:
        return either(error);
    }
}

ZnFileFailure ZnFileFailure::ofRead(int error)
{
    switch (error) {
    case 0:
        return {};
    case EACCES:
    case EPERM:
        return {NoReadPermission, error};
    case EIO:
        return {DiskError, error};
    default:
        return either(error);
    }
}

// What a name at the path is, the same whether it was read or written.
ZnFileFailure ZnFileFailure::either(int error)
{
    switch (error) {
    case ELOOP:
        return {LinkLoop, error};
    case EISDIR:
        return {IsFolder, error};
    default:
        return {Unnamed, error};
    }
}

ZnFileFailure ZnFileFailure::of(const ZnNewFile &file)
{
    return of(file.problem(), file.error());
}

ZnFileFailure ZnFileFailure::of(ZnNewFile::Problem problem, int error)
{
    switch (problem) {
    case ZnNewFile::NoProblem:
        return {};
    case ZnNewFile::NameTooLong:
        return {NameTooLong, error};
    case ZnNewFile::PathTooLong:
        return {PathTooLong, error};
    default:
        return ofWrite(error);
    }
}

QString ZnFileFailure::text() const
{
    switch (m_cause) {
    case None:
        return QString();
    case DiskFull:
        return tr("The disk is full");
    case OverQuota:
        return tr("The disk quota is exceeded");
    case ReadOnlyDisk:
        return tr("The disk is read-only");
    case NoWritePermission:
        return tr("No permission to write");
    case NoReadPermission:
        return tr("No permission to read");
    case NoSuchFolder:
        return tr("The folder does not exist");
    case NameTooLong:
        return tr("The file name is too long");
    case PathTooLong:
        return tr("The file path is too long");
    case DiskError:
        return tr("The disk failed to read or write");
    case LinkLoop:
        return tr("A loop of links, or too many links in a row");
    case IsFolder:
        return tr("The name is a folder");
    case Unnamed:
        break;
    }
    return QString::fromLocal8Bit(std::strerror(m_error));
}
