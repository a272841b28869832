#include "ZnOpenedFields.h"

#include <QMetaProperty>
#include <QObject>

QVariant ZnOpenedFields::shown(const QObject *field)
{
    return field ? field->metaObject()->userProperty().read(field) : QVariant();
}

void ZnOpenedFields::note(const QObject *field)
{
    note(field, shown(field));
}

void ZnOpenedFields::note(const QObject *field, const QVariant &value)
{
    for (auto &f : fields) {
        if (f.first == field) {
            f.second = value;
            return;
        }
    }
    fields.emplace_back(field, value);
}

void ZnOpenedFields::note(std::initializer_list<const QObject *> list)
{
    for (const QObject *field : list)
        note(field);
}

const QVariant *ZnOpenedFields::noted(const QObject *field) const
{
    for (const auto &f : fields) {
        if (f.first == field)
            return &f.second;
    }
    return nullptr;
}

bool ZnOpenedFields::changed(std::initializer_list<const QObject *> list) const
{
    for (const QObject *field : list) {
        if (changed(field, shown(field)))
            return true;
    }
    return false;
}

bool ZnOpenedFields::changed(const QObject *field, const QVariant &now) const
{
    const QVariant *then = noted(field);
    return !then || *then != now;
}
