// Capture-unit, fire-alarm, TTS and broadcast bodies over arbitrary bytes: the first
// byte picks the hook, the rest is the body. Whatever the bytes, the managers hand
// on only well-formed lists (capture and fire-alarm lists sorted by id; only rows
// with a usable id), and both
// parsers of the row reader read the body alike.
#include "FuzzCheck.h"
#include "RowReaders.h"
#include "ZnBroadcast.h"
#include "ZnBroadcastManage.h"
#include "ZnCap.h"
#include "ZnCapManage.h"
#include "ZnFAlarm.h"
#include "ZnFAlarmManage.h"
#include "ZnTts.h"
#include "ZnTtsManage.h"

#include <algorithm>
#include <list>

namespace {
// The rows of the body with a usable "terminalId": exactly those are listed.
std::size_t gUsable = 0;

template <class Record>
bool sortedById(const std::list<Record>* list)
{
    const auto byId = [](const Record& a, const Record& b) { return a.id < b.id; };
    return list && list->size() == gUsable && std::is_sorted(list->begin(), list->end(), byId);
}
}

FUZZ_TARGET(input)
{
    if (input.empty())
        return;
    const std::string body = input.substr(1);
    rowreaders::check(body);
    gUsable = rowreaders::usableIds(body, "terminalId");
    switch (uint8_t(input[0]) % 4) {
    case 0: {
        ZnCapManage m;
        m.setCallbacks([](std::list<ZnCap>* list) { FUZZ_CHECK(sortedById(list)); }, nullptr,
                       [](ZnCap* cap) { FUZZ_CHECK(cap != nullptr); });
        m.onResponse(ZnCapManage::ListType, body);
        m.onPost(ZnCapManage::kPostKey, body);
        m.onSet(body);
        break;
    }
    case 1: {
        ZnFAlarmManage m;
        m.setCallback([](int code, void* data) {
            FUZZ_CHECK(code == ZnFAlarmManage::ChangedType
                           ? data != nullptr
                           : code == ZnFAlarmManage::ListType && sortedById(static_cast<std::list<ZnFAlarm>*>(data)));
        });
        m.onResponse(ZnFAlarmManage::ListType, body);
        FUZZ_CHECK(m.onPost(ZnFAlarmManage::kPostKey, body));
        break;
    }
    case 2: {
        ZnTtsManage m;
        m.setCallback([](int code, void* data) {
            FUZZ_CHECK(data && (code == ZnTtsManage::ListType || code == ZnTtsManage::ModifyType));
            FUZZ_CHECK(code != ZnTtsManage::ListType || static_cast<std::list<ZnTts>*>(data)->size() == gUsable);
        });
        m.onResponse(ZnTtsManage::ListType, body);
        FUZZ_CHECK(m.onPost(ZnTtsManage::kPostKey, body));
        break;
    }
    default: {
        ZnBroadcastManage m;
        const auto one = [](ZnBroadcast* b) { FUZZ_CHECK(b != nullptr); };
        m.setCallbacks(
            [](std::list<ZnBroadcast>* list) {
                FUZZ_CHECK(list != nullptr);
                for (const ZnBroadcast& b : *list)
                    for (const auto& region : b.regions)
                        FUZZ_CHECK(region.second.regionId != 0);
            },
            one, one);
        m.onResponse(ZnBroadcastManage::ListType, body);
        m.onResponse(ZnBroadcastManage::SingleType, body);
        m.onSet(body);
        break;
    }
    }
}
