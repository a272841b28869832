#pragma once

#include <QObject>

// Translation context of the texts the play-terminal table controller writes.
class ZnTerTableWidgetStr : public QObject
{
    Q_OBJECT
public:
    static QString closeText() { return tr("close"); }
    static QString openText() { return tr("open"); }
};
