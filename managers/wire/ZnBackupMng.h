#pragma once

#include "ZnBaseMgr.h"

// Created beside the server-configuration manager; takes part in no exchange.
class ZnBackupMng : public ZnBaseMgr
{
public:
    void onResponse(int requestType, const std::string& body) override;
    bool onPost(const std::string& key, const std::string& body) override;
    bool onSet(const std::string& body) override;
    void onDelete(const std::string& type, int id) override;
    void onDeleted(int id) override;
};
