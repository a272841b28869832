// The reply parsers of talk consoles, D82 devices, microphone groups, regions,
// sound-source tasks and play and plan tasks over arbitrary bytes. Consoles and
// devices come out named (D82s in descending id order), an XML console or single
// device only with a positive id, task names and execution-time names within
// their fields; lists of records known by an id hold exactly the rows with a
// usable one. Both parsers of the row reader read the bytes alike.
#include "BookEntry.h"
#include "FuzzCheck.h"
#include "RowReaders.h"
#include "ZnD82.h"
#include "ZnD82Manage.h"
#include "ZnMicGroup.h"
#include "ZnMicGroupManage.h"
#include "ZnMicRows.h"
#include "ZnPlanManage.h"
#include "ZnPlayTaskManage.h"
#include "ZnRegion.h"
#include "ZnRegionManage.h"
#include "ZnRow.h"
#include "ZnSsTask.h"
#include "ZnSsTaskManage.h"

#include <cstring>

FUZZ_TARGET(input)
{
    rowreaders::check(input);
    // Lists of records known by an id hold exactly the rows with a usable one.
    const std::size_t terminals = rowreaders::usableIds(input, "terminalId");
    std::list<ZnMic> mics;
    for (auto list : {&ZnMicRows::d72List, &ZnMicRows::d74List, &ZnMicRows::directoryList}) {
        list(input, mics);
        FUZZ_CHECK(mics.size() == terminals);
        for (const ZnMic& m : mics)
            FUZZ_CHECK(!m.name.empty());
    }
    ZnMicRows::dsk81List(input, mics);
    FUZZ_CHECK(mics.size() == terminals);
    ZnMicRows::dsk81Xml(input, mics);
    for (const ZnMic& m : mics)
        FUZZ_CHECK(m.id > 0);
    std::list<ZnMicBtnCall> calls;
    ZnMicRows::buttonCallList(input, calls);
    // A book entry's type as the row wrote it reads, where it is a number, as
    // the number the entry holds: the dialogs name the family by either.
    // An id that is no number within int holds none either: written back as
    // one, it would name another entry.
    const auto typesAgree = [](const std::list<BookEntry>& entries) {
        for (const BookEntry& e : entries) {
            int n = 0;
            FUZZ_CHECK(!ZnRow::id(e.itemTypeText.c_str(), n) || n == e.itemType);
            FUZZ_CHECK(e.hasItemId || e.itemId == 0);
        }
    };
    std::list<BookEntry> book;
    ZnMicRows::bookList(input, "monitorId", "monitorType", book);
    typesAgree(book);

    std::list<ZnD82> devices;
    ZnD82Manage::parseDevices(input, devices);
    FUZZ_CHECK(devices.size() == terminals);
    int last = INT32_MAX;
    for (const ZnD82& d : devices) {
        FUZZ_CHECK(!d.name.empty() && d.id <= last);
        last = d.id;
    }
    devices.clear();
    ZnD82Manage::parseAllCall(input, devices);
    FUZZ_CHECK(devices.size() == terminals);
    book.clear();
    ZnD82Manage::parseBook(input, "contactId", book);
    typesAgree(book);
    ZnD82 one;
    FUZZ_CHECK(!ZnD82Manage::parseDevice(input, one) || one.id > 0);

    // A member kept as written is one piece between blanks that names no id
    // (a NUL inside ends the text an id is read from, not the piece).
    const auto unreadable = [](const std::vector<std::string>& members) {
        for (const std::string& member : members) {
            int n = 0;
            FUZZ_CHECK(!member.empty() && member.find(' ') == std::string::npos);
            FUZZ_CHECK(member.find('\0') != std::string::npos || !ZnRow::id(member.c_str(), n));
        }
    };
    std::list<ZnMicGroup> groups;
    ZnMicGroupManage::parseRows(input, groups);
    FUZZ_CHECK(groups.size() == rowreaders::usableIds(input, "groupId"));
    for (const ZnMicGroup& g : groups)
        unreadable(g.unreadMembers);
    std::list<ZnRegion> regions;
    ZnRegionManage::parseRows(input, regions);
    FUZZ_CHECK(regions.size() == rowreaders::usableIds(input, "regionId"));
    for (const ZnRegion& r : regions)
        unreadable(r.unreadMembers);

    std::list<ZnSsTask> tasks;
    if (ZnSsTaskManage::parseRows(input, tasks))
        FUZZ_CHECK(tasks.size() == rowreaders::usableIds(input, "sourceId"));
    for (const ZnSsTask& t : tasks) {
        FUZZ_CHECK(!t.Name.empty());
        for (const ZnExecTime& e : t.execTimes)
            FUZZ_CHECK(std::strlen(e.name) < sizeof(e.name));
    }

    ZnPlayTaskManage play;
    play.onResponse(13, input);
    play.onPost("Task", input);
    ZnPlanManage plan;
    plan.onResponse(215, input);
    plan.onResponse(216, input);
    for (const ZnPlayTask& t : plan.taskList())
        FUZZ_CHECK(std::strlen(t.name) < sizeof(t.name));
}
