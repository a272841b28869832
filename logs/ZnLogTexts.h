#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <string>

#include "ZnLogRecord.h"

// The texts of a log row, shared by the log pages, the recording page and the CSV
// export, so that a row reads the same on screen and in the file.
class ZnLogTexts
{
    Q_DECLARE_TR_FUNCTIONS(ZnLogTexts)
public:
    // The stored talk type as its name; a type outside the table is shown as stored.
    static QString talkTypeText(const std::string &stored);
    // Seconds since 1970 (or a "yyyy-MM-dd hh:mm:ss" date) as local "yyyy/MM/dd hh:mm:ss";
    // anything else as stored.
    static QString timeText(const std::string &stored);
    // The column headers of a log (LogExportKind), in column order, translated.
    static QStringList headers(int kind);
    // The cells of one record under those headers.
    static QStringList cells(int kind, const ZnLogRecord &record);
    // The same for the CSV file, where a talk type outside the table reads "UNKNOW".
    static QStringList exportCells(int kind, const ZnLogRecord &record);
};
