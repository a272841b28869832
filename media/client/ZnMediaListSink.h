#pragma once

#include "ZnMediaFile_t.h"

#include <QList>
#include <QString>

// What the file-service client hands a listing to: a media browser. The client
// sits below the widgets and knows its browsers only through this.
class ZnMediaListSink
{
public:
    virtual ~ZnMediaListSink() = default;
    // Called on the thread that listed, with a copy of the listing of folder, or
    // with why folder could not be listed (entries then empty).
    virtual void emitDirListFinished(const QString& folder, const QList<ZnMediaFile_t>& entries,
                                     const QString& error) = 0;
};
