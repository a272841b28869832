// Capture-unit, fire-alarm, TTS and broadcast bodies over arbitrary bytes: the first
// byte picks the hook, the rest is the body. Whatever the bytes, the managers hand
// on only well-formed lists (capture and fire-alarm lists sorted by id), and both
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
#include <cstdint>
#include <list>
#include <string>

namespace {
template <class Record>
bool sortedById(const std::list<Record>& list)
{
    return std::is_sorted(list.begin(), list.end(), [](const Record& a, const Record& b) { return a.id < b.id; });
}

void capList(std::list<ZnCap>* list)
{
    FUZZ_CHECK(list && sortedById(*list));
}
void capChanged(ZnCap* cap)
{
    FUZZ_CHECK(cap != nullptr);
}
void alarmNotify(int code, void* data)
{
    FUZZ_CHECK(data != nullptr);
    if (code == ZnFAlarmManage::ListType)
        FUZZ_CHECK(sortedById(*static_cast<std::list<ZnFAlarm>*>(data)));
    else
        FUZZ_CHECK(code == ZnFAlarmManage::ChangedType);
}
void ttsNotify(int code, void* data)
{
    FUZZ_CHECK(data != nullptr);
    FUZZ_CHECK(code == ZnTtsManage::ListType || code == ZnTtsManage::ModifyType);
}
void broadcastList(std::list<ZnBroadcast>* list)
{
    FUZZ_CHECK(list != nullptr);
    for (const ZnBroadcast& b : *list)
        for (const auto& region : b.regions)
            FUZZ_CHECK(region.second.regionId != 0);
}
void broadcastOne(ZnBroadcast* b)
{
    FUZZ_CHECK(b != nullptr);
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const std::string body(reinterpret_cast<const char*>(data) + 1, size - 1);
    rowreaders::check(body);
    switch (data[0] % 4) {
    case 0: {
        ZnCapManage m;
        m.setCallbacks(capList, nullptr, capChanged);
        m.onResponse(ZnCapManage::ListType, body);
        m.onPost(ZnCapManage::kPostKey, body);
        m.onSet(body);
        break;
    }
    case 1: {
        ZnFAlarmManage m;
        m.setCallback(alarmNotify);
        m.onResponse(ZnFAlarmManage::ListType, body);
        FUZZ_CHECK(m.onPost(ZnFAlarmManage::kPostKey, body));
        break;
    }
    case 2: {
        ZnTtsManage m;
        m.setCallback(ttsNotify);
        m.onResponse(ZnTtsManage::ListType, body);
        FUZZ_CHECK(m.onPost(ZnTtsManage::kPostKey, body));
        break;
    }
    default: {
        ZnBroadcastManage m;
        m.setCallbacks(broadcastList, broadcastOne, broadcastOne);
        m.onResponse(ZnBroadcastManage::ListType, body);
        m.onResponse(ZnBroadcastManage::SingleType, body);
        m.onSet(body);
        break;
    }
    }
    return 0;
}
