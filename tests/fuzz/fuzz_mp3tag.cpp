// The check that an MP3 lame made holds every byte its own tag counts, over
// arbitrary files: it reads sizes from the file and must never read past it or
// call a file whole that has no tag to say so.
#include "FuzzCheck.h"
#include "ZnTranscodeProcess.h"

#include <QTemporaryFile>

FUZZ_TARGET(bytes)
{
    static QTemporaryFile file;
    if (!file.isOpen() && !file.open())
        return;
    file.resize(0);
    file.seek(0);
    file.write(bytes.data(), qint64(bytes.size()));
    file.flush();
    if (ZnTranscodeProcess::isWhole(file.fileName())) {
        const QByteArray b = QByteArray::fromStdString(bytes);
        FUZZ_CHECK(b.contains("Info") || b.contains("Xing"));
    }
}
