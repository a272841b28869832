#include "ZnTextForm.h"

#include <cstring>

ZnTextForm::Form ZnTextForm::of(const char *data, size_t size)
{
    if (size >= 2) {
        const auto first = static_cast<unsigned char>(data[0]);
        const auto second = static_cast<unsigned char>(data[1]);
        if (first == 0xFF && second == 0xFE)
            return Utf16LittleEndian;
        if (first == 0xFE && second == 0xFF)
            return Utf16BigEndian;
    }
    return size > 0 && std::memchr(data, '\0', size) ? NulBytes : Text;
}

const char *ZnTextForm::why(Form form)
{
    switch (form) {
    case Utf16LittleEndian:
        return "saved as UTF-16 (byte-order mark FF FE), not as UTF-8";
    case Utf16BigEndian:
        return "saved as UTF-16 (byte-order mark FE FF), not as UTF-8";
    case NulBytes:
        return "holds NUL bytes, not text";
    case Text:
        break;
    }
    return "";
}
