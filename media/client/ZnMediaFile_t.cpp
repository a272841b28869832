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
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 0x20 || c.unicode() == 0x7f
            || c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}
