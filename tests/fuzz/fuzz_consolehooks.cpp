// The hooks of the talk-console managers (Dsk81, D72, D74 and their shared base)
// and of the backup manager over arbitrary bytes: the first byte picks the answer
// type, the rest is the body. Whatever the bytes, each manager tells its model only
// codes it owns, with data; Dsk81 lists come in descending id order and consoles
// read from XML carry a positive id; the backup manager takes nothing.
#include "FuzzCheck.h"
#include "ZnBackupMng.h"
#include "ZnD72Manage.h"
#include "ZnD74Manage.h"
#include "ZnMic.h"
#include "ZnMicManage.h"

#include <algorithm>
#include <list>

namespace {
bool descending(const std::list<ZnMic>& list)
{
    return std::is_sorted(list.begin(), list.end(), [](const ZnMic& a, const ZnMic& b) { return a.id > b.id; });
}

int gLastCode = 0;

void onMic(int code, void* data)
{
    FUZZ_CHECK(data != nullptr);
    FUZZ_CHECK(code >= ZnMicManage::ListType && code <= ZnMicManage::SetRegionType);
    if (code == ZnMicManage::ListType)
        FUZZ_CHECK(descending(*static_cast<std::list<ZnMic>*>(data)));
    gLastCode = code;
}

template <class Manager>
void onTalkConsole(int code, void* data)
{
    FUZZ_CHECK(data != nullptr);
    FUZZ_CHECK(code == Manager::ListType || code == Manager::ModifyType || code == Manager::DeletedType
               || code == Manager::ButtonCallsType);
    if (code == Manager::ListType) {
        const auto* list = static_cast<std::list<ZnMic>*>(data);
        FUZZ_CHECK(!list->empty());
        for (const ZnMic& m : *list)
            FUZZ_CHECK(!m.name.empty());
    }
}
} // namespace

FUZZ_TARGET(input)
{
    if (input.empty())
        return;
    const int pick = uint8_t(input[0]);
    const std::string body = input.substr(1);

    ZnMicManage mic;
    mic.setCallback(onMic);
    // The Dsk81 types, and now and then one beside them.
    mic.onResponse(ZnMicManage::ListType + pick % 18 - 1, body);
    mic.onPost(ZnMicManage::kPostKey, body);
    gLastCode = 0;
    if (mic.onSet(body))
        FUZZ_CHECK(gLastCode == 0 || gLastCode == ZnMicManage::ConsoleType);
    mic.onDeleted(pick);

    ZnD72Manage d72;
    d72.setCallback(onTalkConsole<ZnD72Manage>);
    d72.onResponse(ZnD72Manage::ListType + pick % 9, body);
    FUZZ_CHECK(d72.onPost(ZnD72Manage::kPostKey, body));
    FUZZ_CHECK(!d72.onPost(ZnD74Manage::kPostKey, body));
    d72.onDelete(ZnD72Manage::kDeleteType, pick);

    ZnD74Manage d74;
    d74.setCallback(onTalkConsole<ZnD74Manage>);
    d74.onResponse(ZnD74Manage::ListType + pick % 8, body);
    FUZZ_CHECK(d74.onPost(ZnD74Manage::kPostKey, body));
    d74.onDelete(ZnD74Manage::kDeleteType, pick);

    ZnBackupMng backup;
    backup.onResponse(pick, body);
    FUZZ_CHECK(!backup.onPost(body, body) && !backup.onSet(body));
    backup.onDelete(body, pick);
}
