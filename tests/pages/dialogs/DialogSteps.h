#pragma once

#include "../tasks/TaskSim.h"
#include "ZnMicListMgr.h"
#include "ZnPlayTermListMgr.h"
#include "ZnRegionListMgr.h"
#include "ZnSsTaskDataMgr.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTextEdit>
#include <QTimeEdit>

#include <json/json.h>

#include <map>
#include <string>

// What a dialog's field shows, as the operator reads it: a text, a number, a
// time "hh:mm:ss", a date "yyyy-MM-dd", a box (or a checkable group) "on" or
// "off", a list's chosen entry, a table's checked ids (a table without check
// boxes: its rows' first cells), each joined by blanks; " (disabled)" after a
// field that takes no input, "hidden" for one hidden (not one on a page of a
// stacked widget not turned to).
inline QString fieldValue(QWidget *dialog, const QString &name)
{
    QWidget *w = dialog->findChild<QWidget *>(name);
    if (!w)
        return QStringLiteral("no such field");
    // A page of a stacked widget the operator has not turned to counts as shown.
    for (QWidget *up = w; up && up != dialog; up = up->parentWidget()) {
        if (up->isHidden() && !qobject_cast<QStackedWidget *>(up->parentWidget()))
            return QStringLiteral("hidden");
    }
    QString v;
    if (auto *date = qobject_cast<QDateEdit *>(w))
        v = date->date().toString(QStringLiteral("yyyy-MM-dd"));
    else if (auto *time = qobject_cast<QTimeEdit *>(w))
        v = time->time().toString(QStringLiteral("hh:mm:ss"));
    else if (auto *spin = qobject_cast<QSpinBox *>(w))
        v = QString::number(spin->value());
    else if (auto *slider = qobject_cast<QSlider *>(w))
        v = QString::number(slider->value());
    else if (auto *line = qobject_cast<QLineEdit *>(w))
        v = line->text();
    else if (auto *text = qobject_cast<QTextEdit *>(w))
        v = text->toPlainText();
    else if (auto *box = qobject_cast<QAbstractButton *>(w))
        v = box->isChecked() ? QStringLiteral("on") : QStringLiteral("off");
    else if (auto *group = qobject_cast<QGroupBox *>(w))
        v = !group->isCheckable() ? group->title() : group->isChecked() ? QStringLiteral("on") : QStringLiteral("off");
    else if (auto *combo = qobject_cast<QComboBox *>(w))
        v = combo->currentText();
    else if (auto *label = qobject_cast<QLabel *>(w))
        v = label->text();
    else if (auto *table = qobject_cast<QTableWidget *>(w)) {
        QStringList rows;
        for (int r = 0; r < table->rowCount(); ++r) {
            const QTableWidgetItem *first = table->item(r, 0);
            if (!first)
                continue;
            if (first->flags() & Qt::ItemIsUserCheckable) {
                if (first->checkState() == Qt::Checked)
                    rows << first->data(Qt::UserRole).toString();
            } else {
                rows << first->text();
            }
        }
        v = rows.join(QLatin1Char(' '));
    } else {
        return QStringLiteral("unread field");
    }
    return w->isEnabled() ? v : v + QStringLiteral(" (disabled)");
}

// The fields of a dialog that "fields" names (as "name" or "name=value", ';'
// between them) as "name=value", ';' between them.
inline QString fieldsOf(QWidget *dialog, const QString &fields)
{
    QStringList out;
    for (const QString &field : fields.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString name = field.section(QLatin1Char('='), 0, 0);
        out << name + QLatin1Char('=') + fieldValue(dialog, name);
    }
    return out.join(QLatin1Char(';'));
}

// Types into a dialog, step by step: "name=value" sets a field (a list's entry by
// its index, a table's row of that id ticked), a bare name clicks that button.
// False, the test failed, when a field is missing.
inline bool typeInto(QWidget *dialog, const QString &typed)
{
    for (const QString &step : typed.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString name = step.section(QLatin1Char('='), 0, 0), value = step.section(QLatin1Char('='), 1);
        QWidget *w = dialog->findChild<QWidget *>(name);
        if (!w) {
            ZnModalGuard::refuse(dialog, QStringLiteral("no field %1 in").arg(name));
            return false;
        }
        if (!step.contains(QLatin1Char('=')))
            ModalChain::click(name)(dialog);
        else if (auto *time = qobject_cast<QTimeEdit *>(w))
            time->setTime(QTime::fromString(value, QStringLiteral("hh:mm:ss")));
        else if (auto *spin = qobject_cast<QSpinBox *>(w))
            spin->setValue(value.toInt());
        else if (auto *line = qobject_cast<QLineEdit *>(w))
            line->setText(value);
        else if (auto *text = qobject_cast<QTextEdit *>(w))
            text->setPlainText(value);
        else if (auto *combo = qobject_cast<QComboBox *>(w))
            combo->setCurrentIndex(value.toInt());
        else if (auto *table = qobject_cast<QTableWidget *>(w))
            clickIds(table, {value.toInt()});
    }
    return true;
}

// Types into a dialog, then presses its OK.
inline ModalChain::Action typeAndConfirm(const QString &typed)
{
    return [typed](QWidget *dialog) {
        if (!typeInto(dialog, typed))
            return;
        const bool plan = dialog->findChild<QAbstractButton *>(QStringLiteral("fOkButton")) != nullptr;
        ModalChain::click(plan ? QStringLiteral("fOkButton") : QStringLiteral("fOkBtn"))(dialog);
    };
}

// The change requests the server got from its request number mark on, as
// "LABEL body", " / " between them. A JSON body is written again compactly with
// its texts as they are (no \u escapes), keys in order.
inline QString changesSince(const ZnSimServer &sim, size_t mark)
{
    QStringList out;
    const std::vector<ZnSimRequest> got = sim.requests();
    for (size_t i = mark; i < got.size(); ++i) {
        const std::string &m = got[i].method;
        if (m == "GET" || m == "ONLINE" || m == "LOGIN")
            continue;
        std::string body = got[i].body;
        Json::Value v;
        if (Json::Reader().parse(body, v) && v.isObject()) {
            Json::StreamWriterBuilder w;
            w["indentation"] = "";
            w["emitUTF8"] = true;
            body = Json::writeString(w, v);
        }
        while (!body.empty() && body.back() == '\n')
            body.pop_back();
        out << QString::fromStdString(got[i].label() + " " + body);
    }
    return out.join(QStringLiteral(" / "));
}

// Three terminals of every family, ids base+1 to base+3 named N1 to N3, written
// over copies of the sample's first row (the dialogs need its other fields):
// the first `online` of them online, the others offline, each with the
// `extra` keys.
inline void seedFamilies(ZnSimData &d, int online, const std::map<std::string, std::string> &extra = {})
{
    struct Family
    {
        const char *table;
        int base;
        const char *type;
    };
    const Family families[] = {{"dsk72", 50000, "2"},      {"dsk74", 60000, "4"},     {"dsk81", 70000, "3"},
                               {"d82", 80000, "8"},        {"tts71", 40000, "TTS71"}, {"capd73", 20000, "CAP"},
                               {"firealarm", 30000, "FR"}, {"ipamp", 0, "IP"}};
    for (const auto &f : families) {
        std::vector<Json::Value> &rows = d.table(f.table);
        rows.resize(3, rows.front());
        for (int i = 0; i < 3; ++i) {
            const Json::Value r = terminalRow(f.base + i + 1, "N" + std::to_string(i + 1), i < online, f.type);
            for (const std::string &key : r.getMemberNames())
                rows[size_t(i)][key] = r[key];
            for (const auto &key : extra)
                rows[size_t(i)][key.first] = key.second;
        }
    }
}

// The lists the pages read as they are built, as the main window has them by
// then: the tasks and regions asked for, the microphones and players fetched.
inline bool fetchPageLists()
{
    ZnSsTaskDataMgr::instance();
    ZnRegionListMgr::instance();
    return signalled(ZnMicListMgr::instance(), &ZnMicListMgr::gotMicList,
                     [] { ZnMicListMgr::instance()->requestMicList(); })
           && signalled(ZnPlayTermListMgr::instance(), &ZnPlayTermListMgr::gotPlayTermList,
                        [] { ZnPlayTermListMgr::instance()->requestPlayTermList(); });
}
