#pragma once

#include <QString>

// One entry of the file-service worker's queue; plain data copied in and out.
struct FileTask
{
    enum Kind { GetFileRoot = 1, GetFileList = 2, GetFile = 3, PostFile = 4, Delete = 5, Rename = 6, CreatDIR = 8 };

    int transferId = 0; // the transfer queue's record id, echoed in progress
    int reserved = 0;
    int kind = 0;
    int flag = 3; // delete/rename: 1 folder, 0 file; listing: 0 media page, else task dialogs
    char name[128] = {};
    int spare[6] = {};
    char text1[256] = {};
    char text2[256] = {};
    QString firstPath; // GetFile server path, PostFile local file, rename old path
    QString
        secondPath; // GetFile local path, PostFile server path, listing folder, delete/CreatDIR path, rename new path
};
