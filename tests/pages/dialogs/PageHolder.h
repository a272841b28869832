#pragma once

#include <QString>
#include <QWidget>

#include <map>
#include <memory>
#include <vector>

// The pages a test works on, each shown as in the main window and found by the
// name it was added under; the holder deletes them.
class PageHolder
{
public:
    template <class Form, class... Args>
    Form *add(const char *name, Args... args)
    {
        auto *form = new Form(args...);
        owned.emplace_back(form);
        form->resize(1000, 600);
        form->show();
        byName[QLatin1String(name)] = form;
        return form;
    }
    // A part of a page found by a name of its own, as a page is.
    void addPart(const QString &name, QWidget *part) { byName[name] = part; }
    QWidget *at(const QString &name) const { return byName.at(name); }
    const std::map<QString, QWidget *> &all() const { return byName; }
    void clear()
    {
        byName.clear();
        owned.clear();
    }

private:
    std::vector<std::unique_ptr<QWidget>> owned;
    std::map<QString, QWidget *> byName;
};
