#pragma once

#include <QMutex>
#include <QObject>

#include <list>
#include <string>
#include <utility>

#include "ZnServerParam.h"

class ZnManageCenter;
class ZnServerConfigRequest;

// The server's own settings for the system settings page and the log pages: the
// parameter rows, the talk-log server and the result of a backup.
class ZnServerConfigMgr : public QObject
{
    Q_OBJECT

public:
    static ZnServerConfigMgr* instance();

    int requestSystemParameter();
    // Reads the talk-log server "host:number"; gives the host and returns the number
    // (1 or more: read the logs from that host's database, else through the server).
    int requestLogServer(std::string& host);
    int setParameter(std::string value, int type);
    int setNamedParameter(const std::string& value, int type);
    int setVadPttTimeout(std::string value);
    int recoverData(std::string file, std::string md5, int type);
    int modifyAdmin(std::string value) { return setVadPttTimeout(std::move(value)); }
    // The restore request as the settings page words it: the MD5 text first, then
    // the file name.
    int backupData(std::string md5, std::string file, int type)
    {
        return recoverData(std::move(file), std::move(md5), type);
    }

    std::list<ZnServerParam> serverList() const;
    std::string logHost() const;
    ZnServerParam backupResult() const;

signals:
    void gotServerList();
    void gotBackupMd5();
    // For the settings page's transfers; the model itself never emits them.
    void downloadFinish();
    void uploadFinish();

private:
    explicit ZnServerConfigMgr(ZnManageCenter* centre);
    static int onConfig(int type, void* data);
    int query(const ZnServerConfigRequest& request);
    int change(const ZnServerConfigRequest& request);
    void takeParameters(const std::list<ZnServerParam>* params);
    void takeLogServer(const std::list<ZnServerParam>* params);
    void takeBackup(const ZnServerParam* backup);

    ZnManageCenter* m_centre;
    std::list<ZnServerParam> m_parameters;
    std::string m_logHost;
    int m_logNumber = 0;
    ZnServerParam m_backup;
    mutable QRecursiveMutex m_mutex;
};
