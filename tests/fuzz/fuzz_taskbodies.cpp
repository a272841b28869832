// The reply parsers of D82 devices, microphone groups, regions, sound-source tasks
// and play and plan tasks over arbitrary bytes. Devices come out named and in
// descending id order, a single device only with a positive id, task names and
// execution-time names within their fields.
#include "BookEntry.h"
#include "FuzzCheck.h"
#include "ZnD82.h"
#include "ZnD82Manage.h"
#include "ZnMicGroup.h"
#include "ZnMicGroupManage.h"
#include "ZnPlanManage.h"
#include "ZnPlayTaskManage.h"
#include "ZnRegion.h"
#include "ZnRegionManage.h"
#include "ZnSsTask.h"
#include "ZnSsTaskManage.h"

#include <cstring>

FUZZ_TARGET(input)
{
    std::list<ZnD82> devices;
    ZnD82Manage::parseDevices(input, devices);
    int last = INT32_MAX;
    for (const ZnD82& d : devices) {
        FUZZ_CHECK(!d.name.empty() && d.id <= last);
        last = d.id;
    }
    ZnD82Manage::parseAllCall(input, devices);
    std::list<BookEntry> book;
    ZnD82Manage::parseBook(input, "contactId", book);
    ZnD82 one;
    FUZZ_CHECK(!ZnD82Manage::parseDevice(input, one) || one.id > 0);

    std::list<ZnMicGroup> groups;
    ZnMicGroupManage::parseRows(input, groups);
    std::list<ZnRegion> regions;
    ZnRegionManage::parseRows(input, regions);

    std::list<ZnSsTask> tasks;
    ZnSsTaskManage::parseRows(input, tasks);
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
