#pragma once

#include "ZnIniSection.h"
#include "ZnRegularFile.h"
#include "ZnTextForm.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

// In-memory INI document: sections of "key=value" texts, loaded whole and saved whole.
// Names and keys are case-sensitive byte strings. A save writes the file that was
// loaded with only the values set since changed: each in its own line, a new key
// after its section's last key, a new section at the end. Every other byte stays
// (a byte-order mark, comments, spacing, line breaks, lines that did not parse);
// without a file loaded, the model is written as "[section]" and "key=value" lines.
// A line ends at LF, CR LF or a lone CR.
class ZnIniFile
{
public:
    // The largest file read: far more than any settings file holds, and read and
    // looked up at once.
    static const int kMaxFileBytes = 1 << 20;

    // Replaces the model by the file. 0 when every line parsed, else -1. lineOut gets
    // the first line that did not parse (or the last line read; -1 when the file
    // cannot be opened). Reading goes on past a bad line, and the bad lines stay
    // where they stand, so a later save loses nothing of the file. Only a regular
    // file of at most kMaxFileBytes is read: anything else (a pipe, a device, a
    // folder, a larger file) is refused unread with -1, and so are bytes that are no
    // text (see ZnTextForm); no save writes a model after that.
    int load(const char* path, int* lineOut);
    // Writes the model whole (see ZnFileReplace). 0 or -1; -1 without writing where
    // the path names anything but a regular file or the file would pass the limit.
    // error (when given) gets the errno of a write that failed (EFBIG where the file
    // would pass the limit), 0 where no write was tried.
    int save(const char* path, int* error = nullptr) const;
    // The form of the bytes the last load refused as no text; Text otherwise.
    ZnTextForm::Form refusedForm() const { return m_refusedForm; }
    // Why the last load refused the file unread; kind None otherwise.
    ZnRegularFile::Refusal refusal() const { return m_refusal; }

    // The value text, valid until the model changes. Null for a null section or key
    // and for a key missing from an existing section; defaultValue when the section
    // itself is missing.
    const char* value(const char* section, const char* key, const char* defaultValue) const;
    // Adds the section and the key at the end when missing. -1 (model unchanged) for
    // null arguments and for texts a save could not write back as they are: a line
    // break anywhere, a blank or "]" in the section, a blank or "=" in the key, a
    // blank at either end of the value.
    int setValue(const char* section, const char* key, const char* value);
    int setIntValue(const char* section, const char* key, int value);
    void clear();

    const std::vector<std::unique_ptr<ZnIniSection>>& sections() const { return m_sections; }
    ZnIniSection* findSection(const std::string& name) const;

private:
    ZnIniSection* addSection(const std::string& name);

    std::vector<std::unique_ptr<ZnIniSection>> m_sections;
    std::unordered_map<std::string, size_t> m_sectionIndex;
    // The bytes loaded, which a save changes in place.
    std::string m_text;
    // Set when reading the file failed part way, or it was refused: saving such a
    // model would cut the file, or put our text in place of something else.
    bool m_readFailed = false;
    ZnTextForm::Form m_refusedForm = ZnTextForm::Text;
    ZnRegularFile::Refusal m_refusal;
};
