// User, level, scheme, log, server-setting, amplifier and conflict bodies over arbitrary
// bytes: every manager reads each body, the first byte picking which of its answer
// types it is taken as. Whatever the bytes, nothing handed on holds more entries
// than the body has bytes, user levels stay 1..100, fixed texts stay terminated,
// amplifiers come in id order with the usable ids the kept rows hold, and no callback
// fires that the reader does not promise.
#include "FuzzCheck.h"
#include "RowReaders.h"
#include "ZnConflictList.h"
#include "ZnLevelManage.h"
#include "ZnLogManage.h"
#include "ZnSchemeManage.h"
#include "ZnServerConfigManage.h"
#include "ZnServerParam.h"
#include "ZnTerminalManage.h"
#include "ZnUserManage.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {
std::size_t gLimit = 0; // the body's size
int gType = 0;          // the answer type asked for

template <std::size_t N>
bool terminated(const char (&text)[N])
{
    return std::memchr(text, 0, N) != nullptr;
}

void checkUser(ZnUser* u)
{
    FUZZ_CHECK(u && u->lv >= 1 && u->lv <= 100);
    FUZZ_CHECK(terminated(u->name) && terminated(u->fn) && terminated(u->pw) && terminated(u->m));
    FUZZ_CHECK(std::adjacent_find(u->terminalIds.begin(), u->terminalIds.end(), std::greater_equal<int32_t>())
               == u->terminalIds.end());
}
} // namespace

FUZZ_TARGET(input)
{
    if (input.empty())
        return;
    const uint8_t pick = uint8_t(input[0]);
    const std::string body = input.substr(1);
    gLimit = body.size();
    rowreaders::check(body);

    ZnUserManage users;
    users.setCallbacks(
        [](std::list<ZnUser>* list) {
            FUZZ_CHECK(list && list->size() <= gLimit);
            std::for_each(list->begin(), list->end(), [](ZnUser& u) { checkUser(&u); });
        },
        checkUser);
    users.onResponse(ZnUserManage::ListType + pick % 3, body);
    users.onSet(body);

    ZnLevelManage levels;
    levels.setCallbacks(
        [](std::list<ZnLevel>* list) {
            FUZZ_CHECK(list && list->size() <= gLimit);
            for (const ZnLevel& l : *list)
                FUZZ_CHECK(terminated(l.name));
        },
        nullptr, nullptr);
    levels.onResponse(ZnLevelManage::ListType, body);
    levels.onSet(body);

    ZnSchemeManage schemes;
    const auto one = [](ZnScheme* s, int kind) { FUZZ_CHECK(s && kind >= 0 && kind < 4); };
    schemes.setCallbacks([](std::list<ZnScheme>* list, int) { FUZZ_CHECK(list && list->size() <= gLimit); }, one, one,
                         [](int, int) { FUZZ_CHECK(!"no delete was asked"); });
    schemes.onPost(ZnSchemeManage::kPostKey, body);
    schemes.onSet(body);
    schemes.onResponse(ZnSchemeManage::FirstType + pick % 16, body);

    ZnLogManage logs;
    logs.setCallback([](int kind, void* data, int, int) {
        FUZZ_CHECK(data && kind == gType - ZnLogManage::FirstType);
        if (kind % 2 == 1) {
            const auto* page = static_cast<std::vector<ZnLogRecord>*>(data);
            FUZZ_CHECK(!page->empty() && page->size() <= gLimit);
        }
        return 0;
    });
    gType = ZnLogManage::FirstType + pick % 8;
    logs.onResponse(gType, body);

    ZnServerConfigManage config;
    config.setCallback([](int type, void* data) {
        FUZZ_CHECK(data && type == gType);
        if (type == ZnServerConfigManage::BackupType) {
            FUZZ_CHECK(static_cast<ZnServerParam*>(data)->kind == ZnServerParam::Backup);
            return 0;
        }
        const auto* params = static_cast<std::list<ZnServerParam>*>(data);
        FUZZ_CHECK(params->size() <= gLimit);
        for (const ZnServerParam& p : *params)
            FUZZ_CHECK(p.kind != ZnServerParam::Backup && p.kind >= 0 && p.kind <= ZnServerParam::Other);
        return 0;
    });
    const int configTypes[] = {ZnServerConfigManage::ParametersType, ZnServerConfigManage::LogServerQueryType,
                               ZnServerConfigManage::BackupType};
    gType = configTypes[pick % 3];
    config.onResponse(gType, body);

    // The amplifiers built row by row carry the usable ids the kept rows read, in
    // order; rows without one are left out.
    std::list<ZnTerminal> amps;
    ZnRows rows;
    FUZZ_CHECK(ZnTerminalManage::parseRows(body, amps) == ZnRow::parseArray(body, rows));
    std::vector<int> ids, got;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        int id = 0;
        if (ZnRow::id(rows[i], "terminalId", id))
            ids.push_back(id);
    }
    std::sort(ids.begin(), ids.end());
    for (const ZnTerminal& t : amps)
        got.push_back(t.id);
    FUZZ_CHECK(got == ids && amps.size() <= gLimit);
    ZnTerminalManage terminals;
    terminals.setCallback([](int code, void* data) {
        FUZZ_CHECK(data && (code == ZnTerminalManage::ListType || code == ZnTerminalManage::TerminalType));
    });
    terminals.onResponse(ZnTerminalManage::ListType, body);
    FUZZ_CHECK(terminals.onPost(ZnTerminalManage::kPostKey, body));

    // A conflict notice names at most one terminal per element of its array.
    std::vector<ZnTerminal> conflicts;
    if (ZnConflictList::parse(body, conflicts))
        FUZZ_CHECK(conflicts.size() <= gLimit);
    else
        FUZZ_CHECK(conflicts.empty());
}
