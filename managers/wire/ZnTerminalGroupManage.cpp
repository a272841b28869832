#include "ZnTerminalGroupManage.h"

ZnTerminalGroupManage::ZnTerminalGroupManage() : m_name("TerminalGroups"), m_topGroup(new ZnTerminalGroup) {}
