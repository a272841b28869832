#include "ZnBookWord.h"

#include "BookEntry.h"
#include "ZnApi.h"
#include "ZnRow.h"

#include <QRegularExpression>

QString ZnBookWord::of(const BookEntry &entry, const QMap<int, QString> &names)
{
    // An entry made here rather than read has its number alone.
    int number = entry.itemType;
    if (entry.itemTypeText.empty() || ZnRow::id(entry.itemTypeText.c_str(), number))
        return names.value(number, QString::fromStdString(terminalTypeName(number)));
    // A word ends at the "_" before the id and at the blank between items; a
    // text that might be cut elsewhere is not one.
    static const QRegularExpression word(QStringLiteral("^[A-Za-z][A-Za-z0-9-]*$"));
    const QString text = QString::fromStdString(entry.itemTypeText);
    return word.match(text).hasMatch() ? text : QString();
}
