#pragma once

#include "ZnMediaFile_t.h"

#include <QList>

// What the file-service client hands a listing to: a media browser. The client
// sits below the widgets and knows its browsers only through this.
class ZnMediaListSink
{
public:
    virtual ~ZnMediaListSink() = default;
    // Called on the thread that listed; the list stays valid and is read under
    // gMediaTableMutex.
    virtual void emitDirListFinished(QList<ZnMediaFile_t>* list) = 0;
};
