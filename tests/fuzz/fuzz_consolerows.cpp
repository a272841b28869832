// The talk-console reply parsers over arbitrary bytes: JSON rows, button calls,
// books, directories and the one-console XML. Every console they give has a name
// and every XML console a positive id. Both parsers of the row reader read the
// bytes alike.
#include "FuzzCheck.h"
#include "RowReaders.h"
#include "ZnMicRows.h"

FUZZ_TARGET(input)
{
    rowreaders::check(input);
    std::list<ZnMic> mics;
    for (auto list : {&ZnMicRows::d72List, &ZnMicRows::d74List, &ZnMicRows::directoryList}) {
        list(input, mics);
        for (const ZnMic& m : mics)
            FUZZ_CHECK(!m.name.empty());
    }
    ZnMicRows::dsk81List(input, mics);
    ZnMicRows::dsk81Xml(input, mics);
    for (const ZnMic& m : mics)
        FUZZ_CHECK(m.id > 0);
    std::list<ZnMicBtnCall> calls;
    ZnMicRows::buttonCallList(input, calls);
    std::list<BookEntry> book;
    ZnMicRows::bookList(input, "monitorId", "monitorType", book);
}
