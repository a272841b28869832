#pragma once

#include "../../managers/consoles/ModelSim.h"
#include "ZnModalGuard.h"
#include "ZnModalHelper.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStringList>
#include <QTableWidget>
#include <QTest>

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
            else
                ZnModalGuard::refuse(w, QStringLiteral("no button %1 in").arg(button));
        };
    }
    static Action confirm() { return click(QStringLiteral("ConfirmButton")); }
    // Types text into the line edit of that object name, then clicks the button.
    static Action type(const QString &edit, const QString &text, const QString &button)
    {
        return [=](QWidget *w) {
            auto *field = w->findChild<QLineEdit *>(edit);
            if (!field)
                return ZnModalGuard::refuse(w, QStringLiteral("no field %1 in").arg(edit));
            field->setText(text);
            click(button)(w);
        };
    }

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

// Runs act (a click that opens boxes or dialogs), answering each modal window
// with the next action; returns what the answered windows showed, in turn.
inline QStringList answering(std::vector<ModalChain::Action> actions, const std::function<void()> &act)
{
    ModalChain chain;
    chain.arm(std::move(actions));
    act();
    return chain.seen;
}

// The row whose column 0 holds that id as its UserRole data; -1 for none.
inline int rowOfId(QTableWidget *t, int id)
{
    for (int r = 0; r < t->rowCount(); ++r) {
        if (t->item(r, 0) && t->item(r, 0)->data(Qt::UserRole).toInt() == id)
            return r;
    }
    return -1;
}

// The cells of the row of that id, joined by '|'; "-" for no row.
inline QString rowText(QTableWidget *t, int id)
{
    const int r = rowOfId(t, id);
    QStringList cells;
    for (int c = 0; r >= 0 && c < t->columnCount(); ++c)
        cells << (t->item(r, c) ? t->item(r, c)->text() : QString());
    return r < 0 ? QStringLiteral("-") : cells.join(QLatin1Char('|'));
}

// The ids of the rows, top to bottom.
inline QString idsOf(QTableWidget *t)
{
    QStringList out;
    for (int r = 0; r < t->rowCount(); ++r)
        out << t->item(r, 0)->data(Qt::UserRole).toString();
    return out.join(QLatin1Char(' '));
}

// The column headers as the operator reads them, left to right, joined by '|';
// "<none>" for a column without a header item.
inline QString headersOf(const QTableWidget *t)
{
    QStringList out;
    for (int c = 0; c < t->columnCount(); ++c)
        out << (t->horizontalHeaderItem(c) ? t->horizontalHeaderItem(c)->text() : QStringLiteral("<none>"));
    return out.join(QLatin1Char('|'));
}

// The hidden columns, left to right, joined by blanks.
inline QString hiddenOf(const QTableWidget *t)
{
    QStringList out;
    for (int c = 0; c < t->columnCount(); ++c) {
        if (t->isColumnHidden(c))
            out << QString::number(c);
    }
    return out.join(QLatin1Char(' '));
}

// The colour a cell's text is drawn in as "#rrggbb"; "-" for the default black.
inline QString inkOf(const QTableWidgetItem *item)
{
    const QBrush ink = item->foreground();
    return ink.style() == Qt::NoBrush || ink.color() == Qt::black ? QStringLiteral("-") : ink.color().name();
}

// "id:name" of every row, top to bottom (the task page tests use it too).
inline QString rowsOf(QTableWidget *t)
{
    QStringList out;
    for (int r = 0; r < t->rowCount(); ++r) {
        const QTableWidgetItem *item = t->item(r, 0);
        out << (item ? item->data(Qt::UserRole).toString() + QLatin1Char(':') + item->text() : QStringLiteral("?"));
    }
    return out.join(QLatin1Char(' '));
}

// Selects the rows of these ids as the operator does with Ctrl held; the last is current.
inline void selectIds(QTableWidget *t, const QList<int> &ids)
{
    t->clearSelection();
    for (int id : ids)
        t->setCurrentCell(rowOfId(t, id), 0, QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

// Double-clicks the row of that id with the mouse (column 1, or the one given:
// some pages hide column 1).
inline void doubleClickRow(QTableWidget *t, int id, int column = 1)
{
    const QPoint at = t->visualItemRect(t->item(rowOfId(t, id), column)).center();
    QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(t->viewport(), Qt::LeftButton, {}, at);
}

// Runs act and waits until the sender has emitted the signal.
template <class Sender, class Signal>
bool signalled(Sender *sender, Signal signal, const std::function<void()> &act)
{
    QSignalSpy spy(sender, signal);
    act();
    if (!SimSession::spinUntil([&] { return spy.count() > 0; }))
        return false;
    QCoreApplication::processEvents();
    return true;
}

// One data row per case, named by its tag, the case itself as column "c"
// (declare the pointer type with Q_DECLARE_METATYPE).
template <class Case, size_t N>
void addCases(const Case (&cases)[N])
{
    QTest::addColumn<const Case *>("c");
    for (const Case &c : cases)
        QTest::newRow(c.tag) << &c;
}

// A row of text columns, as the server's tables hold them.
inline Json::Value record(std::initializer_list<std::pair<const char *, std::string>> columns)
{
    Json::Value r(Json::objectValue);
    for (const auto &c : columns)
        r[c.first] = c.second;
    return r;
}

inline Json::Value terminalRow(int id, const std::string &name, int status, const std::string &type)
{
    return record(
        {{"terminalId", std::to_string(id)}, {"name", name}, {"status", std::to_string(status)}, {"type", type}});
}
