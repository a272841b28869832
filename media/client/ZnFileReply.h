#pragma once

#include "ZnMediaFile_t.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace Json {
class Value;
}

// Readers of the file service's replies. A reply is one JSON object followed by
// "\r\n\r\n"; the header of a GetFile reply is followed by the file's bytes.
// Nothing here throws or trusts a length, name or nesting depth it is sent.
class ZnFileReply
{
public:
    // Plain bytes, nothing to destroy: the worker reads replies on at exit.
    static constexpr char kEnd[] = "\r\n\r\n";
    static constexpr int kEndSize = sizeof(kEnd) - 1;

    // True once the bytes received end with the terminator.
    static bool isComplete(const QByteArray& bytes);
    // Parses a whole reply (terminator included or not) as one object.
    static bool readObject(const QByteArray& reply, Json::Value& object);
    // A string member, or empty.
    static QString text(const Json::Value& object, const char* key);

    // The "FileList" of a listing reply: folders first, in the reverse of the order
    // sent, then files in the order sent. Elements that are no object, lack a
    // "FileName", carry a name unsafe as a local file name or a path that climbs
    // with ".." are dropped. False
    // when the reply is no object with a "FileList" array.
    // command and cseq, when given, get the reply's "Command" and "CSeq".
    static bool readListing(const QByteArray& reply, QList<ZnMediaFile_t>& out, QString* command = nullptr,
                            QString* cseq = nullptr);

    // The length announced by a GetFile header (the bytes before the first
    // terminator): -1 when it is no object, or its "FileLen" is missing, negative
    // or not a decimal number.
    static qint64 readFileLen(const QByteArray& header);

    // Whether the service did what command asked: the reply names that command
    // (or no command) and carries neither a "Reason" nor a "Result" other than
    // "OK" or "0". Otherwise reason gets the service's "Reason", or a short text.
    static bool readAnswer(const QByteArray& reply, const char* command, QString* reason);
    static bool readUploadAnswer(const QByteArray& reply, QString* reason)
    {
        return readAnswer(reply, "PostFile", reason);
    }
};
