#pragma once

#include "../../managers/consoles/ModelSim.h"
#include "ZnModalHelper.h"

#include <QAbstractButton>
#include <QStringList>
#include <QTableWidget>

#include <memory>
#include <vector>

// Answers the boxes and dialogs that open one after the other, each with the
// next action, and notes what each showed.
class ModalChain
{
public:
    using Action = ZnModalHelper::Action;

    void arm(std::vector<Action> actions)
    {
        pending = std::move(actions);
        next(nullptr);
    }
    // An action that clicks the button of that object name.
    static Action click(const QString &button)
    {
        return [button](QWidget *w) {
            if (QAbstractButton *b = ZnModalHelper::findButton(w, button))
                b->click();
        };
    }
    bool finished() const { return pending.empty(); }

    QStringList seen;

private:
    // Skips the widget just answered while it lives: an action may wait inside
    // it (a request, a nested box) and it stays the active modal meanwhile.
    void next(QWidget *answered)
    {
        if (pending.empty())
            return;
        Action action = pending.front();
        pending.erase(pending.begin());
        helpers.emplace_back(new ZnModalHelper);
        helpers.back()->onModal(
            [this, action](QWidget *w) {
                seen << ZnModalHelper::visibleTexts(w).join(QLatin1Char('|'));
                // The next one is armed first: the action may open it and wait in it.
                next(w);
                action(w);
            },
            answered);
    }

    std::vector<Action> pending;
    std::vector<std::unique_ptr<ZnModalHelper>> helpers;
};

// "id:name" of every row, top to bottom.
inline QString rowsOf(QTableWidget *t)
{
    QStringList out;
    for (int r = 0; r < t->rowCount(); ++r) {
        const QTableWidgetItem *item = t->item(r, 0);
        out << (item ? QString::number(item->data(Qt::UserRole).toInt()) + QLatin1Char(':') + item->text()
                     : QStringLiteral("?"));
    }
    return out.join(QLatin1Char(' '));
}

inline Json::Value terminalRow(int id, const std::string &name, int status, const std::string &type)
{
    Json::Value r(Json::objectValue);
    r["terminalId"] = std::to_string(id);
    r["type"] = type;
    r["status"] = std::to_string(status);
    r["name"] = name;
    r["ip"] = "10.0.8." + std::to_string(id % 100);
    return r;
}
