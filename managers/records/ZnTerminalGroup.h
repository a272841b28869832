#pragma once

#include <list>
#include <memory>
#include <string>

// A group of terminals with child groups; destroying a group destroys its subtree.
class ZnTerminalGroup
{
public:
    ZnTerminalGroup() = default;
    virtual ~ZnTerminalGroup() = default;
    ZnTerminalGroup(const ZnTerminalGroup&) = delete;
    ZnTerminalGroup& operator=(const ZnTerminalGroup&) = delete;

    int id = 0;
    std::string name;
    std::list<int> terminalIds;
    std::list<std::unique_ptr<ZnTerminalGroup>> children;
};
