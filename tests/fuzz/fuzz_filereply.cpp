// The file service's replies over arbitrary bytes: a listing never hands out a
// name that could leave a local folder, folders come before files, and a GetFile
// header yields a length that is either refused (-1) or not negative.
#include "FuzzCheck.h"
#include "ZnFileReply.h"

#include <QByteArray>

FUZZ_TARGET(bytes)
{
    const QByteArray input = QByteArray::fromStdString(bytes);
    QList<ZnMediaFile_t> list;
    if (ZnFileReply::readListing(input, list)) {
        bool filesBegun = false;
        for (const ZnMediaFile_t& f : list) {
            FUZZ_CHECK(ZnMediaFile_t::isSafeName(f.namePart));
            FUZZ_CHECK(f.dirPart + f.namePart == f.FileName);
            FUZZ_CHECK(!f.dirPart.contains(QLatin1String("/../")));
            FUZZ_CHECK(f.isDir == (f.Size == QLatin1String("-1") ? 1 : 0));
            filesBegun = filesBegun || !f.isDir;
            FUZZ_CHECK(!(filesBegun && f.isDir));
        }
    } else {
        FUZZ_CHECK(list.isEmpty());
    }

    const int end = input.indexOf(ZnFileReply::kEnd);
    FUZZ_CHECK(ZnFileReply::readFileLen(end < 0 ? input : input.left(end)) >= -1);
    QString reason;
    if (!ZnFileReply::readUploadAnswer(input, &reason))
        FUZZ_CHECK(!reason.isEmpty());
}
