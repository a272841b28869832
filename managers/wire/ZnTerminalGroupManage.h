#pragma once

#include "ZnCommandRequest.h"
#include "ZnTerminalGroup.h"

#include <memory>
#include <string>

// The terminal-group holder the centre keeps beside its managers; no request,
// answer or page uses it.
class ZnTerminalGroupManage
{
public:
    ZnTerminalGroupManage();
    virtual ~ZnTerminalGroupManage() = default;

    const std::string& name() const { return m_name; }
    ZnTerminalGroup& topGroup() { return *m_topGroup; }

private:
    std::string m_name;
    ZnTerminalGroup m_group;
    ZnCommandRequest m_request;
    std::unique_ptr<ZnTerminalGroup> m_topGroup;
};
