#pragma once

#include <QByteArray>
#include <QString>

class ZnTranscodeProcess;

// One transfer of the transfer queue, copied by value. The fields up to
// destination make the 688-byte record of the note file (noteBytes); the rest
// is what the queue needs while the transfer runs.
struct TransferRecord
{
    enum Kind { Download = 1, Upload = 2 };
    static constexpr int kNoteSize = 688;
    static constexpr int kFailed = 6; // state after a failed transfer or conversion

    int id = 0;
    int pauseArg = 0;
    int state = 0;
    char name[132] = {};
    qint64 total = 0;
    qint64 done = 0;
    qint64 shown = 0;
    char source[256] = {};
    char destination[256] = {};

    int kind = Download;
    bool finished = false;
    ZnTranscodeProcess* encoder = nullptr;
    char tempFolder[256] = {}; // this upload's own folder in ./temp_mp3/
    char error[128] = {};

    // Texts are cut to fit their field, the last byte kept zero.
    static void setText(char* field, int size, const QString& text);
    template <int N>
    static void setText(char (&field)[N], const QString& text)
    {
        setText(field, N, text);
    }
    template <int N>
    static QString text(const char (&field)[N])
    {
        return QString::fromUtf8(field, static_cast<int>(qstrnlen(field, N)));
    }

    // djb2 of the UTF-8 name (bytes taken as signed), masked to 31 bits.
    static int hashName(const QByteArray& name);
    // The record as the note file holds it, little-endian; a positive id is stored negated.
    QByteArray noteBytes() const;
};
