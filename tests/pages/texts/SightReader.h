#pragma once

#include <QList>
#include <QMap>
#include <QString>

class QWidget;

// What the operator reads in a window or page, one reading per widget that shows
// text, keyed by object name ("<QLabel>" for an unnamed one, numbered after the
// first): a label's or button's text, a group box's title, an edit's text, a
// combo box's items, a tab widget's tabs and a table's column headers (the shown
// ones, joined by '|'; '>' marks the current tab or list row). Marks follow:
// " {placeholder}", " [password]", " [read-only]", " [ticked]" or " [unticked]"
// for a checkable group box, " [off]" for a widget that takes no input (marks
// alone when there is no text). Tabs not current and the pages of a stack count
// as shown: the operator reaches them with one click. "window" is the window
// title of a window.
class SightReader
{
public:
    using Readings = QMap<QString, QString>;

    // Widgets under one of `skip` are not read.
    static Readings read(QWidget *root, bool window, const QList<QWidget *> &skip = {});
    // A message box as "title | text | buttons shown".
    static QString box(QWidget *box);

    // Whether a reading fits what a row expects: "*" stands for any text, its
    // marks still compared.
    static bool fits(const QString &expected, const QString &shown);
};
