#pragma once

#include <QSettings>

// config.ini in the working folder, as QSettings reads and writes it. Its texts are
// UTF-8 both ways, so a title typed in Chinese survives every start unchanged.
// Every QSettings on this file must be one of these: Qt shares the parsed file
// between the objects of one process.
class ZnConfigSettings : public QSettings
{
public:
    ZnConfigSettings();
};
