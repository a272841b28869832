#pragma once

#include "../terminals/PageSim.h"

#include <json/json.h>

#include <string>

// One "soundsource" row as the server stores a task.
inline Json::Value taskRow(int id, const std::string &name, int category, int state, int plan = -1,
                           const std::string &execute = std::string(), int type = 1)
{
    Json::Value r(Json::objectValue);
    r["sourceId"] = std::to_string(id);
    r["name"] = name;
    r["sourceCategory"] = std::to_string(category);
    r["status"] = std::to_string(state);
    r["sourceType"] = std::to_string(type);
    r["timerPlanId"] = plan < 0 ? std::string() : std::to_string(plan);
    r["executeTime"] = execute;
    r["sourceContent"] = "/mp3/a.mp3";
    r["playVol"] = "70";
    r["playTimes"] = "1";
    r["duration"] = "0";
    r["terminalId"] = "10001";
    return r;
}

inline Json::Value planRow(int id, const std::string &name, int enable)
{
    Json::Value r(Json::objectValue);
    r["timerplanId"] = std::to_string(id);
    r["name"] = name;
    r["enable"] = std::to_string(enable);
    r["comment"] = "";
    return r;
}

// The texts of one column, top to bottom, joined by blanks.
inline QString columnOf(QTableWidget *t, int column)
{
    QStringList out;
    for (int r = 0; r < t->rowCount(); ++r)
        out << (t->item(r, column) ? t->item(r, column)->text() : QStringLiteral("?"));
    return out.join(QLatin1Char(' '));
}
