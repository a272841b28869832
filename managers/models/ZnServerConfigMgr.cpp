#include "ZnServerConfigMgr.h"

#include <QByteArray>
#include <QMutexLocker>

#include "ServiceHub.h"
#include "ZnApi.h"
#include "ZnBusyRetry.h"
#include "ZnServerConfigManage.h"
#include "ZnServerConfigRequest.h"

namespace {
ZnServerConfigMgr* theServerConfigMgr = nullptr;
const int kPauseMs = 100;
const int kMaxAttempts = 50;

template <class Call>
int repeatWhileBusy(Call call)
{
    return ZnBusyRetry::run(call, kPauseMs, kMaxAttempts);
}
} // namespace

ZnServerConfigMgr* ZnServerConfigMgr::instance()
{
    if (!theServerConfigMgr) {
        ServiceHub* hub = ServiceHub::instance();
        theServerConfigMgr = new ZnServerConfigMgr(hub ? hub->centre() : nullptr);
    }
    return theServerConfigMgr;
}

ZnServerConfigMgr::ZnServerConfigMgr(ZnManageCenter* centre) : m_centre(centre)
{
    apiSetServerConfigCallback(m_centre, &ZnServerConfigMgr::onConfig);
}

int ZnServerConfigMgr::query(const ZnServerConfigRequest& request)
{
    return repeatWhileBusy([&] { return apiGetServerConfig(m_centre, &request); });
}

int ZnServerConfigMgr::change(const ZnServerConfigRequest& request)
{
    return repeatWhileBusy([&] { return apiServerConfigRequest(m_centre, &request); });
}

int ZnServerConfigMgr::requestSystemParameter()
{
    ZnServerConfigRequest r;
    r.type = ZnServerConfigManage::ParametersType;
    r.value = "System_Parameter";
    return query(r);
}

int ZnServerConfigMgr::requestLogServer(std::string& host)
{
    ZnServerConfigRequest r;
    r.type = ZnServerConfigManage::LogServerQueryType;
    r.value = "Log_Server";
    query(r);
    QMutexLocker lock(&m_mutex);
    host = m_logHost;
    return m_logNumber;
}

int ZnServerConfigMgr::setParameter(std::string value, int type)
{
    return setNamedParameter(value, type);
}

int ZnServerConfigMgr::setNamedParameter(const std::string& value, int type)
{
    ZnServerConfigRequest r;
    r.type = type;
    r.value = value;
    return change(r);
}

int ZnServerConfigMgr::setVadPttTimeout(std::string value)
{
    return setNamedParameter(value, ZnServerConfigManage::VadPttType);
}

int ZnServerConfigMgr::recoverData(std::string file, std::string md5, int type)
{
    ZnServerConfigRequest r;
    r.type = type;
    r.value = file;
    r.value2 = md5;
    return change(r);
}

int ZnServerConfigMgr::onConfig(int type, void* data)
{
    if (!theServerConfigMgr)
        return 0;
    switch (type) {
    case ZnServerConfigManage::ParametersType:
        theServerConfigMgr->takeParameters(static_cast<const std::list<ZnServerParam>*>(data));
        break;
    case ZnServerConfigManage::LogServerQueryType:
        theServerConfigMgr->takeLogServer(static_cast<const std::list<ZnServerParam>*>(data));
        break;
    case ZnServerConfigManage::BackupType:
        theServerConfigMgr->takeBackup(static_cast<const ZnServerParam*>(data));
        break;
    default:
        break;
    }
    return 0;
}

void ZnServerConfigMgr::takeParameters(const std::list<ZnServerParam>* params)
{
    {
        QMutexLocker lock(&m_mutex);
        m_parameters.clear();
        if (!params)
            return;
        m_parameters = *params;
    }
    emit gotServerList();
}

void ZnServerConfigMgr::takeLogServer(const std::list<ZnServerParam>* params)
{
    if (!params || params->empty())
        return;
    // "host:number"; parts may be empty, a missing or non-numeric number is 0.
    const QByteArray value = QByteArray::fromStdString(params->front().value);
    const int colon = value.indexOf(':');
    const QByteArray host = colon < 0 ? value : value.left(colon);
    int number = 0;
    if (colon >= 0) {
        QByteArray rest = value.mid(colon + 1);
        const int next = rest.indexOf(':');
        if (next >= 0)
            rest.truncate(next);
        bool ok = false;
        number = rest.trimmed().toInt(&ok);
        if (!ok)
            number = 0;
    }
    QMutexLocker lock(&m_mutex);
    m_logHost = host.toStdString();
    m_logNumber = number;
}

void ZnServerConfigMgr::takeBackup(const ZnServerParam* backup)
{
    {
        QMutexLocker lock(&m_mutex);
        m_parameters.clear();
        if (!backup)
            return;
        m_backup = *backup;
    }
    emit gotBackupMd5();
}

std::list<ZnServerParam> ZnServerConfigMgr::serverList() const
{
    QMutexLocker lock(&m_mutex);
    return m_parameters;
}

std::string ZnServerConfigMgr::logHost() const
{
    QMutexLocker lock(&m_mutex);
    return m_logHost;
}

ZnServerParam ZnServerConfigMgr::backupResult() const
{
    QMutexLocker lock(&m_mutex);
    return m_backup;
}
