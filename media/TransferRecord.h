#pragma once

#include <QByteArray>
#include <QString>

class ZnTranscodeProcess;

// One transfer of the transfer queue, copied by value. The fields up to
// destination make the 688-byte record of the note file (noteBytes); the rest
// is what the queue needs while the transfer runs.
//
// Paths are kept whole: cut to the note's 256-byte field, a path names another
// file (a download then lands under a cut name, over whatever file has it).
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
    QString source;      // download: the server path; upload: the local file, then its MP3
    QString destination; // download: the local path; upload: the server path

    int kind = Download;
    bool finished = false;
    ZnTranscodeProcess* encoder = nullptr;
    QString tempFolder; // this upload's own folder in ./temp_mp3/
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
    // The record as the note file holds it, little-endian; a positive id is stored
    // negated. A path longer than its field is written as an empty field, never cut.
    QByteArray noteBytes() const;
    // Whether a path is too long for its field in noteBytes.
    bool hasLongPath() const;
    // The record's two paths whole, for the entry that follows the records in the
    // note: its position among them (from 0), then each path's byte count and bytes.
    QByteArray noteWholePaths(qint32 position) const;
};
