// The talk-console reply parsers over arbitrary bytes: JSON rows, button calls,
// books, directories and the one-console XML. Every console they give has a name
// and every XML console a positive id. Both parsers of the row reader read the
// bytes alike.
#include "FuzzCheck.h"
#include "RowReaders.h"
#include "ZnMicRows.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string input(reinterpret_cast<const char *>(data), size);
    rowreaders::check(input);
    std::list<ZnMic> mics;
    ZnMicRows::d72List(input, mics);
    for (const ZnMic &m : mics)
        FUZZ_CHECK(!m.name.empty());
    ZnMicRows::d74List(input, mics);
    for (const ZnMic &m : mics)
        FUZZ_CHECK(!m.name.empty());
    ZnMicRows::dsk81List(input, mics);
    ZnMicRows::directoryList(input, mics);
    for (const ZnMic &m : mics)
        FUZZ_CHECK(!m.name.empty());
    ZnMicRows::dsk81Xml(input, mics);
    for (const ZnMic &m : mics)
        FUZZ_CHECK(m.id > 0);
    std::list<ZnMicBtnCall> calls;
    ZnMicRows::buttonCallList(input, calls);
    std::list<BookEntry> book;
    ZnMicRows::bookList(input, "monitorId", "monitorType", book);
    return 0;
}
