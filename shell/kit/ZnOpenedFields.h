#pragma once

#include <QVariant>

#include <initializer_list>
#include <utility>
#include <vector>

class QObject;

// What the fields of an edit dialog showed when it opened. A field cannot always
// show the stored value (a duration over a day, a volume beyond its box, a name
// longer than its edit, a list with empty pieces); it then shows a near one, and
// OK must keep the stored value while the operator leaves that field alone.
class ZnOpenedFields
{
public:
    // Notes what the field shows now: its user property (a line edit's text, a
    // box's value or check state, a time or date edit's value, a combo's text).
    void note(const QObject *field);
    // Notes a value the dialog reads from a field itself (the checked rows of a table).
    void note(const QObject *field, const QVariant &value);
    void note(std::initializer_list<const QObject *> fields);

    // True when any of the fields shows something other than it did when noted
    // (a field never noted counts as changed).
    bool changed(std::initializer_list<const QObject *> fields) const;
    bool changed(const QObject *field) const { return changed(field, shown(field)); }
    bool changed(const QObject *field, const QVariant &now) const;

    // Puts value into stored only when the field changed since it was noted.
    template <class T, class V>
    void write(const QObject *field, T &stored, const V &value) const
    {
        if (changed(field))
            stored = value;
    }

    // What a field that reads through its user property shows now.
    static QVariant shown(const QObject *field);

private:
    const QVariant *noted(const QObject *field) const;

    std::vector<std::pair<const QObject *, QVariant>> fields;
};
