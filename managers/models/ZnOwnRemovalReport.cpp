#include "ZnOwnRemovalReport.h"

std::atomic<int> ZnOwnRemovalReport::s_active{0};
