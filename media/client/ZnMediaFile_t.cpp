#include "ZnMediaFile_t.h"

void ZnMediaFile_t::setFrom(const QString& fileName, const QString& size, const QString& creatDate)
{
    FileName = fileName;
    Size = size;
    CreatDate = creatDate;
    isDir = size == QLatin1String("-1") ? 1 : 0;
    const int slash = fileName.lastIndexOf(QLatin1Char('/'));
    dirPart = slash < 0 ? QString() : fileName.left(slash + 1);
    namePart = slash < 0 ? fileName : fileName.mid(slash + 1);
}

bool ZnMediaFile_t::isSafeName(const QString& name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar c : name) {
        const ushort u = c.unicode();
        // The embeddings, overrides and isolates redraw the rest of the name in
        // another order: "\u202Eevil3pm.exe" reads "exe.mp3live".
        const bool bidi = (u >= 0x202a && u <= 0x202e) || (u >= 0x2066 && u <= 0x2069);
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || u < 0x20 || u == 0x7f
            || c.category() == QChar::Other_Control || bidi)
            return false;
    }
    return true;
}
