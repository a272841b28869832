#pragma once

#include "ZnMediaViewCtrl.h"

// The media browser of the task edit dialogs: it lists at once on the calling
// thread and shows name and size only, so a row is a file exactly when it has
// an item in column 1.
class ZnTaskMediaListViewCtrl : public ZnMediaViewCtrl
{
    Q_OBJECT
public:
    using ZnMediaViewCtrl::ZnMediaViewCtrl;

    void requestDirList(const QString& path) override;
    // A row by the entry's isDir, with name and size only.
    int addMediaFileRow(const ZnMediaFile_t* entry, int row) override;
};
