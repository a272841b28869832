#pragma once

#include <QList>
#include <QMetaType>
#include <QString>

#include <string>

// One entry of a folder listing of the file service; copied by value.
struct ZnMediaFile_t
{
    quint16 id = 0;
    int isDir = 0;     // 1 when Size is exactly "-1"
    QString dirPart;   // FileName up to and including its last "/"
    QString namePart;  // FileName after its last "/"
    QString FileName;  // full server path as sent
    QString Size;      // bytes in decimal, "-1" for a folder
    QString CreatDate; // as sent
    std::string extra; // left empty

    // Fills FileName, dirPart, namePart and isDir from the service's texts.
    void setFrom(const QString& fileName, const QString& size, const QString& creatDate);

    // A name the service may hand us that is safe to use as one local path
    // component: not "", "." or "..", and without "/", "\", control characters or
    // the bidirectional embeddings, overrides and isolates.
    static bool isSafeName(const QString& name);
};

Q_DECLARE_METATYPE(ZnMediaFile_t)
Q_DECLARE_METATYPE(QList<ZnMediaFile_t>*)
