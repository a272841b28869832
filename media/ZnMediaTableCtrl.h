#pragma once

#include <QObject>

#include <string>

class QTableWidget;

// Formats the task dialogs' tables of media names.
class ZnMediaTableCtrl : public QObject
{
    Q_OBJECT
public:
    // Mode 1: name; 2: name and size; any other: name, duration and size.
    void initTable(QTableWidget* table, int mode);
    // Appends a row naming a media file (UTF-8) with the file icon.
    void addMediaRow(const std::string& name);
    QTableWidget* table() const { return m_table; }

private:
    QTableWidget* m_table = nullptr;
};
