// The INI reader over arbitrary file bytes: what a save writes reads back as the
// same document and saves again byte for byte, so a load and save never changes or
// drops what was read. A text setValue accepts reads back as given.
#include "FuzzCheck.h"
#include "ZnIniFile.h"

#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::string tempPath(const char *tag)
{
    // Memory-backed where there is one: saving syncs the file to disk.
    static const std::string dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    return dir + "/zn_fuzz_ini_" + std::to_string(getpid()) + tag;
}

void write(const std::string &path, const std::string &bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string read(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool same(const ZnIniFile &a, const ZnIniFile &b)
{
    if (a.sections().size() != b.sections().size())
        return false;
    for (std::size_t i = 0; i < a.sections().size(); ++i) {
        const ZnIniSection &s = *a.sections()[i];
        const ZnIniSection &t = *b.sections()[i];
        if (s.name() != t.name() || s.keys().size() != t.keys().size() || s.unparsedLines() != t.unparsedLines())
            return false;
        for (std::size_t k = 0; k < s.keys().size(); ++k) {
            if (s.keys()[k]->key != t.keys()[k]->key || s.keys()[k]->value != t.keys()[k]->value)
                return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string input(reinterpret_cast<const char *>(data), size);
    const std::string in = tempPath(".in"), out = tempPath(".out");
    write(in, input);

    ZnIniFile first;
    int line = 0;
    first.load(in.c_str(), &line);
    FUZZ_CHECK(line >= 0);
    FUZZ_CHECK(first.save(out.c_str()) == 0);
    const std::string saved = read(out);

    ZnIniFile second;
    FUZZ_CHECK(second.load(out.c_str(), nullptr) == first.load(in.c_str(), nullptr));
    FUZZ_CHECK(same(first, second));
    FUZZ_CHECK(second.save(out.c_str()) == 0);
    FUZZ_CHECK(read(out) == saved);

    // The bytes up to the first three NULs as section, key and value.
    const char *section = input.c_str();
    const char *key = section + std::strlen(section) + 1;
    const char *value = key < input.c_str() + size ? key + std::strlen(key) + 1 : nullptr;
    if (value && value <= input.c_str() + size && second.setValue(section, key, value) == 0) {
        FUZZ_CHECK(second.save(out.c_str()) == 0);
        ZnIniFile third;
        third.load(out.c_str(), nullptr);
        const char *back = third.value(section, key, nullptr);
        FUZZ_CHECK(back && std::strcmp(back, value) == 0);
    }
    unlink(in.c_str());
    unlink(out.c_str());
    return 0;
}
