#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <sys/stat.h>

// What the operator set up below a folder before the console writes a file
// there (files of his, symbolic links, second hard links), and afterwards
// whether all of it stayed as he set it up around the new bytes, as fopen("w")
// would have left it. Each entry, its path relative to the folder (folders made
// on the way):
//   "f PATH"       a file holding the earlier bytes, of mode 0640, the
//                  operator's (ZnAsUser) where the test runs as root;
//   "l PATH TEXT"  a symbolic link of that text, "@" standing for the folder;
//   "h PATH OTHER" a second hard link of the file OTHER.
class ZnSetUpFiles
{
public:
    ZnSetUpFiles(const QString &folder, const QStringList &entries, const QByteArray &earlier);

    bool made() const { return reason.isEmpty(); }
    QString why() const { return reason; }
    // Empty when the file written (its path relative to the folder, links
    // followed) holds bytes, every link keeps its text, every hard link still
    // shares its file, every file keeps its owner, group and mode, and nothing
    // but these and the file written lies below the folder; else what differs.
    QString changed(const QString &written, const QByteArray &bytes) const;

    // The files below a folder, hidden ones and links among them, as paths
    // relative to it, in order.
    static QStringList filesBelow(const QString &folder);

private:
    struct Entry
    {
        QString kind;
        QString path;
        QString text; // a link's text, a hard link's other file
        struct stat st = {};
    };
    QString root;
    QList<Entry> entries;
    QString reason;
};
