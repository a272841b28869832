#include "ServiceHub.h"

#include "ZnApi.h"
#include "ZnSleep.h"

#include <atomic>

namespace {
std::atomic<ServiceHub*> gHub{nullptr};
}

ServiceHub::ServiceHub(ZnManageCenter* centre)
    : m_centre(centre)
{
}

ServiceHub* ServiceHub::create(ZnManageCenter* centre)
{
    static ServiceHub* hub = new ServiceHub(centre);
    gHub.store(hub);
    return hub;
}

ServiceHub* ServiceHub::instance()
{
    return gHub.load();
}

int ServiceHub::requestCapList()
{
    if (!m_centre)
        return -1;
    int result;
    do {
        result = apiGetCapList(m_centre);
        ZnSleep::ms(100);
    } while (result == 2);
    return result;
}
