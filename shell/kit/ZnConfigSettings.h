#pragma once

#include "ZnRegularFile.h"
#include "ZnTextForm.h"

#include <QString>
#include <QVariant>

// config.ini in the working folder: the start-up keys, the title and the last-used
// folders, in the INI form QSettings reads and writes ("Group/Key" in section
// [Group], a key of no group in [General], texts in UTF-8 with QSettings'
// escapes). A write changes the line of its own key and nothing else: every other
// byte of the file stays as it was (the login settings, keys of other programs,
// texts in other encodings, comments). QSettings itself would write the whole file
// anew from what it read, turning bytes that are not UTF-8 into U+FFFD; here it
// reads the file and writes the one line that is spliced in.
// Only a regular file of at most ZnIniFile::kMaxFileBytes whose bytes are text
// (see ZnTextForm) is read or written: anything else reads as empty (every key at
// its default) and is never written. A write that fails or is refused, and why, is
// told to the operator (see ZnConfigNotice).
class ZnConfigSettings
{
public:
    ZnConfigSettings();
    explicit ZnConfigSettings(const QString &path);

    // True when the file is missing or one that is read and written; else false,
    // and why gets the reason, form the form of bytes that are no text, refusal
    // why the file was refused unread.
    bool usable(QString *why = nullptr, ZnTextForm::Form *form = nullptr,
                ZnRegularFile::Refusal *refusal = nullptr) const;

    // The key's value; the last one when the file has the key twice.
    QVariant value(const QString &key, const QVariant &defaultValue = QVariant()) const;
    // False when the file could not be written, is not usable(), would grow past
    // the limit, or QSettings would not read the value back from the changed file
    // (it is then unchanged).
    bool setValue(const QString &key, const QVariant &value);

private:
    QString filePath;
};
