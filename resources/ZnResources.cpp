#include "ZnResources.h"

#include <QtGlobal>

void znInitResources()
{
    Q_INIT_RESOURCE(talkback);
}
