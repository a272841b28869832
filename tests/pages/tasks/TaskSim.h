#pragma once

#include "../terminals/PageSim.h"

#include <QLineEdit>

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

// One "timerplan" row as the server stores a plan.
inline Json::Value planRow(int id, const std::string &name, int enable)
{
    return record({{"timerplanId", std::to_string(id)}, {"name", name}, {"enable", std::to_string(enable)}});
}

// The parts of a text between ';', none of an empty text.
inline QStringList parts(const char *text)
{
    return QString::fromUtf8(text).split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

// The texts of one column, top to bottom, joined by blanks.
inline QString columnOf(QTableWidget *t, int column)
{
    QStringList out;
    for (int r = 0; r < t->rowCount(); ++r)
        out << (t->item(r, column) ? t->item(r, column)->text() : QStringLiteral("?"));
    return out.join(QLatin1Char(' '));
}

// Selects the rows of those ids (column 0's data), in that order, and clicks each.
inline void clickIds(QTableWidget *t, const QList<int> &ids)
{
    const QAbstractItemView::SelectionMode mode = t->selectionMode();
    t->clearSelection();
    t->setSelectionMode(QAbstractItemView::MultiSelection);
    for (int id : ids) {
        for (int r = 0; r < t->rowCount(); ++r) {
            if (t->item(r, 0)->data(Qt::UserRole).toInt() == id) {
                t->selectRow(r);
                emit t->itemClicked(t->item(r, 0));
            }
        }
    }
    t->setSelectionMode(mode);
}

inline ModalChain::Action yes()
{
    return ModalChain::click(QStringLiteral("ConfirmButton"));
}

// Types text into the line edit of that name, then clicks the button ok.
inline ModalChain::Action fill(const QString &edit, const QString &text, const QString &ok)
{
    return ModalChain::type(edit, text, ok);
}

// Clicks the button of that name and answers the boxes and dialogs that follow,
// one step each; what each showed, once all were answered.
inline QStringList clickThrough(QWidget *w, const QString &button, std::vector<ModalChain::Action> steps)
{
    ModalChain chain;
    const int n = int(steps.size());
    chain.arm(std::move(steps));
    ModalChain::click(button)(w);
    ZnModalHelper::waitFor([&] { return chain.seen.size() == n; }, 10000);
    return chain.seen;
}
