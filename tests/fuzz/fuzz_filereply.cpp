// The file service's replies over arbitrary bytes: a listing never hands out a
// name that could leave a local folder, folders come before files, and a GetFile
// header yields a length that is either refused (-1) or not negative.
#include "FuzzCheck.h"
#include "ZnFileReply.h"

#include <QByteArray>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<int>(size));

    QList<ZnMediaFile_t> list;
    if (ZnFileReply::readListing(input, list)) {
        bool filesBegun = false;
        for (const ZnMediaFile_t &f : list) {
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
    const qint64 len = ZnFileReply::readFileLen(end < 0 ? input : input.left(end));
    FUZZ_CHECK(len >= -1);

    QString reason;
    if (!ZnFileReply::readUploadAnswer(input, &reason))
        FUZZ_CHECK(!reason.isEmpty());
    return 0;
}
