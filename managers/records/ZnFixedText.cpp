#include "ZnFixedText.h"

#include <cstring>

void ZnFixedText::copy(char* out, size_t size, const std::string& text)
{
    if (!out || size == 0)
        return;
    size_t n = text.size() < size - 1 ? text.size() : size - 1;
    if (n < text.size()) {
        // Step back over continuation bytes (10xxxxxx) to the start of the
        // character that does not fit.
        while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
            --n;
    }
    std::memcpy(out, text.data(), n);
    std::memset(out + n, 0, size - n);
}
