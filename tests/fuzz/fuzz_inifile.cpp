// The INI reader over arbitrary file bytes: what a save writes reads back as the
// same document and saves again byte for byte, so a load and save never changes or
// drops what was read. A byte-order mark and the kind of line break (LF, CR LF, a
// lone CR) change nothing read. A text setValue accepts reads back as given, and
// its save changes that one line (or adds it, or its new section): every other
// line stays. Bytes that are no text (UTF-16, NULs) are refused unread and never
// written over; the checks that follow run on the bytes without their NULs.
#include "FuzzCheck.h"
#include "FuzzLines.h"
#include "ZnIniFile.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {
std::string tempPath(const char* tag)
{
    // Memory-backed where there is one: saving syncs the file to disk.
    static const std::string dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    return dir + "/zn_fuzz_ini_" + std::to_string(getpid()) + tag;
}

std::string read(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The document as read: every section, key and value, each text
// prefixed by its length so that no two documents dump alike.
std::string dump(const ZnIniFile& ini)
{
    std::string d;
    const auto add = [&d](char tag, const std::string& text) { d += tag + std::to_string(text.size()) + ':' + text; };
    for (const auto& s : ini.sections()) {
        add('[', s->name());
        for (const auto& k : s->keys())
            add('k', k->key), add('=', k->value);
    }
    return d;
}
} // namespace

FUZZ_TARGET(fuzzed)
{
    const std::string in = tempPath(".in"), out = tempPath(".out");
    std::string input = fuzzed;
    if (ZnTextForm::of(fuzzed.data(), fuzzed.size()) != ZnTextForm::Text
        && fuzzed.size() <= static_cast<size_t>(ZnIniFile::kMaxFileBytes)) {
        std::ofstream(in, std::ios::binary | std::ios::trunc) << fuzzed;
        ZnIniFile refused;
        int line = 0;
        FUZZ_CHECK(refused.load(in.c_str(), &line) == -1 && line == -1 && refused.sections().empty());
        FUZZ_CHECK(refused.refusedForm() == ZnTextForm::of(fuzzed.data(), fuzzed.size()));
        FUZZ_CHECK(refused.setValue("Setting", "User", "u") == 0);
        FUZZ_CHECK(refused.save(in.c_str()) == -1 && read(in) == fuzzed);
        input.erase(std::remove(input.begin(), input.end(), '\0'), input.end());
        while (ZnTextForm::of(input.data(), input.size()) != ZnTextForm::Text)
            input.erase(0, 1);
    }
    std::ofstream(in, std::ios::binary | std::ios::trunc) << input;

    ZnIniFile first;
    int line = 0;
    const int firstRead = first.load(in.c_str(), &line);
    // A file past the limit is not read, and then not written either.
    if (input.size() > static_cast<size_t>(ZnIniFile::kMaxFileBytes)) {
        FUZZ_CHECK(firstRead == -1 && line == -1 && first.sections().empty());
        FUZZ_CHECK(first.save(in.c_str()) == -1 && read(in) == input);
        unlink(in.c_str());
        return;
    }
    FUZZ_CHECK(line >= 0);
    FUZZ_CHECK(first.save(out.c_str()) == 0);
    const std::string saved = read(out);
    FUZZ_CHECK(saved == input);

    // The same bytes behind a mark, every lone CR made a LF.
    const std::string mark = "\xEF\xBB\xBF";
    std::string plain = mark + input.substr(input.compare(0, 3, mark) == 0 ? 3 : 0);
    for (size_t i = mark.size(); i < plain.size(); ++i) {
        if (plain[i] == '\r' && (i + 1 == plain.size() || plain[i + 1] != '\n'))
            plain[i] = '\n';
    }
    if (plain.size() <= static_cast<size_t>(ZnIniFile::kMaxFileBytes)) {
        std::ofstream(in, std::ios::binary | std::ios::trunc) << plain;
        ZnIniFile alike;
        int alikeLine = 0;
        FUZZ_CHECK(alike.load(in.c_str(), &alikeLine) == firstRead && alikeLine == line);
        FUZZ_CHECK(dump(alike) == dump(first));
    }

    ZnIniFile second;
    FUZZ_CHECK(second.load(out.c_str(), nullptr) == firstRead);
    FUZZ_CHECK(dump(first) == dump(second));
    FUZZ_CHECK(second.save(out.c_str()) == 0);
    FUZZ_CHECK(read(out) == saved);

    // The bytes up to the first three NULs as section, key and value.
    const char* section = fuzzed.c_str();
    const char* key = section + std::strlen(section) + 1;
    const char* value = key < fuzzed.c_str() + fuzzed.size() ? key + std::strlen(key) + 1 : nullptr;
    if (value && value <= fuzzed.c_str() + fuzzed.size() && second.setValue(section, key, value) == 0) {
        FUZZ_CHECK(second.save(out.c_str()) == 0);
        FUZZ_CHECK(keptButOne(fuzzLines(saved), fuzzLines(read(out))));
        ZnIniFile third;
        third.load(out.c_str(), nullptr);
        const char* back = third.value(section, key, nullptr);
        FUZZ_CHECK(back && std::strcmp(back, value) == 0);
    }
    unlink(in.c_str());
    unlink(out.c_str());
}
