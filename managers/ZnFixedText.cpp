#include "ZnFixedText.h"

#include <cstring>

namespace ZnFixedText {

void copy(char* dst, size_t size, const std::string& text)
{
    if (!dst || size == 0)
        return;
    std::memset(dst, 0, size);
    size_t n = text.size();
    if (n > size - 1) {
        n = size - 1;
        // A UTF-8 character is at most four bytes: back off over at most three
        // continuation bytes to the start of the character that does not fit.
        size_t back = 0;
        while (n > 0 && back < 3 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) {
            --n;
            ++back;
        }
    }
    std::memcpy(dst, text.data(), n);
}

} // namespace ZnFixedText
