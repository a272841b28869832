#include "SightReader.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTextEdit>

namespace {

const QStringList kMarks = {QStringLiteral(" [password]"), QStringLiteral(" [read-only]"), QStringLiteral(" [ticked]"),
                            QStringLiteral(" [unticked]"), QStringLiteral(" [off]")};

// Parts of other widgets (a spin box's edit, a combo box's list, a table's
// header and cells, a tab widget's bar) are read with their owner or not at all.
bool inner(QWidget *w, QWidget *root)
{
    if (w->objectName().startsWith(QLatin1String("qt_")))
        return true;
    for (QWidget *p = w->parentWidget(); p && p != root; p = p->parentWidget()) {
        if (qobject_cast<QAbstractSpinBox *>(p) || qobject_cast<QComboBox *>(p) || qobject_cast<QTabBar *>(p)
            || qobject_cast<QAbstractItemView *>(p))
            return true;
    }
    return false;
}

// Shown, or one click away: the pages of a tab widget and of a stack that a
// choice switches count as shown, as long as they are not hidden themselves.
bool shown(QWidget *w, QWidget *root)
{
    for (QWidget *p = w; p && p != root; p = p->parentWidget()) {
        auto *stack = qobject_cast<QStackedWidget *>(p->parentWidget());
        if (stack && stack->indexOf(p) >= 0)
            continue;
        if (p->isHidden())
            return false;
    }
    return true;
}

bool under(QWidget *w, const QList<QWidget *> &skip)
{
    for (QWidget *s : skip) {
        if (s && (s == w || s->isAncestorOf(w)))
            return true;
    }
    return false;
}

QString headersOf(QTableView *t)
{
    QStringList out;
    for (int c = 0; c < t->model()->columnCount(); ++c) {
        if (!t->isColumnHidden(c))
            out << t->model()->headerData(c, Qt::Horizontal).toString();
    }
    return t->horizontalHeader()->isHidden() ? QStringLiteral("(no header)") : out.join(QLatin1Char('|'));
}

// The text a widget shows; false for a widget that shows none.
bool textOf(QWidget *w, QString &text, QString &marks)
{
    if (auto *l = qobject_cast<QLabel *>(w)) {
        text = l->text();
        return !text.isEmpty();
    }
    if (auto *g = qobject_cast<QGroupBox *>(w)) {
        text = g->title();
        if (g->isCheckable())
            marks += g->isChecked() ? QStringLiteral(" [ticked]") : QStringLiteral(" [unticked]");
        return !text.isEmpty() || g->isCheckable();
    }
    if (auto *b = qobject_cast<QAbstractButton *>(w)) {
        text = b->text();
        return !text.isEmpty();
    }
    if (auto *e = qobject_cast<QLineEdit *>(w)) {
        text = e->text();
        if (!e->placeholderText().isEmpty())
            marks += QStringLiteral(" {%1}").arg(e->placeholderText());
        if (e->echoMode() == QLineEdit::Password)
            marks += QStringLiteral(" [password]");
        if (e->isReadOnly())
            marks += QStringLiteral(" [read-only]");
        return true;
    }
    if (auto *t = qobject_cast<QTextEdit *>(w)) {
        text = t->toPlainText().simplified();
        if (t->isReadOnly())
            marks += QStringLiteral(" [read-only]");
        return true;
    }
    if (auto *c = qobject_cast<QComboBox *>(w)) {
        QStringList items;
        for (int i = 0; i < c->count(); ++i)
            items << c->itemText(i);
        text = items.join(QLatin1Char('|'));
        return true;
    }
    if (auto *tabs = qobject_cast<QTabWidget *>(w)) {
        QStringList shown;
        for (int i = 0; i < tabs->count(); ++i) {
            if (tabs->isTabVisible(i))
                shown << (i == tabs->currentIndex() ? QStringLiteral(">") : QString()) + tabs->tabText(i);
        }
        text = shown.join(QLatin1Char('|'));
        return true;
    }
    if (auto *list = qobject_cast<QListWidget *>(w)) {
        QStringList shown;
        for (int i = 0; i < list->count(); ++i) {
            if (!list->item(i)->isHidden())
                shown << (i == list->currentRow() ? QStringLiteral(">") : QString()) + list->item(i)->text();
        }
        text = shown.join(QLatin1Char('|'));
        return true;
    }
    if (auto *table = qobject_cast<QTableView *>(w)) {
        text = headersOf(table);
        return table->model() && table->model()->columnCount() > 0;
    }
    return false;
}

} // namespace

SightReader::Readings SightReader::read(QWidget *root, bool window, const QList<QWidget *> &skip)
{
    Readings out;
    if (window)
        out.insert(QStringLiteral("window"), root->windowTitle());
    QHash<QString, int> unnamed;
    const QList<QWidget *> all = root->findChildren<QWidget *>();
    for (QWidget *w : all) {
        if (!shown(w, root) || inner(w, root) || under(w, skip))
            continue;
        QString text, marks;
        if (!textOf(w, text, marks))
            continue;
        if (!w->isEnabled())
            marks += QStringLiteral(" [off]");
        QString key = w->objectName();
        if (key.isEmpty()) {
            key = QStringLiteral("<%1>").arg(QLatin1String(w->metaObject()->className()));
            const int n = ++unnamed[key];
            if (n > 1)
                key += QString::number(n);
        }
        out.insert(key, text.isEmpty() ? marks.mid(1) : text + marks);
    }
    return out;
}

QString SightReader::box(QWidget *box)
{
    auto *title = box->findChild<QLabel *>(QStringLiteral("messageTitle"));
    auto *text = box->findChild<QTextEdit *>(QStringLiteral("infoTextEdit"));
    QStringList buttons;
    for (QPushButton *b : box->findChildren<QPushButton *>()) {
        if (b->isVisibleTo(box) && !b->text().isEmpty())
            buttons << b->text();
    }
    return QStringLiteral("%1 | %2 | %3")
        .arg(title ? title->text() : QStringLiteral("(no title)"),
             text ? text->toPlainText().simplified() : QStringLiteral("(no text)"), buttons.join(QLatin1Char(',')));
}

bool SightReader::fits(const QString &expected, const QString &shown)
{
    if (!expected.startsWith(QLatin1Char('*')))
        return expected == shown;
    // Any text, then the same marks.
    QString rest = QLatin1Char(' ') + shown;
    QString marks;
    for (bool found = true; found;) {
        found = false;
        for (const QString &m : kMarks) {
            if (rest.endsWith(m)) {
                marks.prepend(m);
                rest.chop(m.size());
                found = true;
            }
        }
        const int brace = rest.lastIndexOf(QLatin1String(" {"));
        if (!found && brace >= 0 && rest.endsWith(QLatin1Char('}'))) {
            marks.prepend(rest.mid(brace));
            rest.truncate(brace);
            found = true;
        }
    }
    return expected.mid(1) == marks;
}
