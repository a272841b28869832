#include "ZnColumnFit.h"

#include "ZnServerText.h"

#include <QElapsedTimer>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QTableWidget>

#include <algorithm>

namespace {
// A slice of the walk ends after this many milliseconds (checked every kStep
// rows), so that the event loop stays responsive.
const int kSliceMs = 4;
const int kStep = 64;
// Rows measured at once beyond those in view, above and below: at least these,
// or a view's worth.
const int kAround = 50;
// A change to more rows than these is measured again by a walk.
const int kChangedRows = 64;

// The width of a text as a cell shows it (bounded, line by line), from the font alone.
qreal quickWidth(const QFontMetricsF &metrics, const QString &text)
{
    const QString shown = text.size() > ZnServerText::kMaxShown ? ZnServerText::bounded(text) : text;
    if (!shown.contains(QLatin1Char('\n')))
        return metrics.horizontalAdvance(shown);
    qreal widest = 0;
    for (const QString &line : shown.split(QLatin1Char('\n')))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest;
}
} // namespace

ZnColumnFit::ZnColumnFit(QTableWidget *t, int col) : table(t), column(col)
{
    slices.setSingleShot(true);
    slices.setInterval(0);
    connect(&slices, &QTimer::timeout, this, &ZnColumnFit::measureSlice);
    if (!table)
        return;
    QAbstractItemModel *model = table->model();
    connect(model, &QAbstractItemModel::dataChanged, this, &ZnColumnFit::cellsChanged);
    connect(model, &QAbstractItemModel::rowsInserted, this, &ZnColumnFit::rowsShifted);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &ZnColumnFit::rowsShifted);
    connect(model, &QAbstractItemModel::rowsMoved, this, &ZnColumnFit::rowsShifted);
    connect(model, &QAbstractItemModel::modelReset, this, &ZnColumnFit::rowsShifted);
    connect(model, &QAbstractItemModel::layoutChanged, this, &ZnColumnFit::rowsShifted);
}

void ZnColumnFit::begin()
{
    running = true;
    next = 0;
    viewFrom = viewTo = 0;
    kept = 0;
    content = 0;
    // A walk cut short leaves the widths it took: the cache holds no more than
    // the cells of one whole walk.
    seen.clear();
    if (table->font() != font) {
        known.clear();
        font = table->font();
    }
    table->ensurePolished();
}

void ZnColumnFit::refit()
{
    if (!table)
        return;
    begin();
    const int rows = table->rowCount();
    seen.reserve(rows);
    int first = table->rowAt(0);
    int last = table->rowAt(table->viewport()->height() - 1);
    if (first < 0)
        first = 0;
    if (last < 0)
        last = rows - 1;
    const int around = std::max(last - first + 1, int(kAround));
    viewFrom = std::max(0, first - around);
    viewTo = std::min(rows, last + 1 + around);
    measureRows(viewFrom, viewTo);
    measureCandidates();
    // The rows in view may be narrower than the others: the column keeps its
    // width until the walk knows, or the columns to its right jump left and
    // back on every list.
    apply(false);
    if (viewFrom == 0 && viewTo == rows)
        finish();
    else
        slices.start();
}

qreal ZnColumnFit::widthOf(const QFontMetricsF &metrics, const QString &text) const
{
    const auto found = known.constFind(text);
    return found != known.constEnd() ? *found : quickWidth(metrics, text);
}

void ZnColumnFit::measureRows(int from, int to)
{
    const QFontMetricsF metrics(font);
    for (int r = from; r < to; ++r) {
        const QTableWidgetItem *cell = table->item(r, column);
        if (!cell)
            continue;
        const QString text = cell->text();
        const qreal width = widthOf(metrics, text);
        seen.insert(text, width);
        rank(width, r);
    }
}

bool ZnColumnFit::rank(qreal quick, int row)
{
    if (kept == Candidates && quick <= widest[kept - 1].quick)
        return false;
    // Into its place, widest first.
    int at = kept < Candidates ? kept++ : kept - 1;
    for (; at > 0 && widest[at - 1].quick < quick; --at)
        widest[at] = widest[at - 1];
    widest[at] = Candidate{quick, row, -1};
    return true;
}

void ZnColumnFit::measureCandidates()
{
    for (int i = 0; i < kept; ++i) {
        if (widest[i].exact >= 0)
            continue;
        widest[i].exact = table->sizeHintForIndex(table->model()->index(widest[i].row, column)).width();
        content = std::max(content, widest[i].exact);
    }
}

void ZnColumnFit::apply(bool exactly)
{
    QHeaderView *header = table->horizontalHeader();
    const int width = std::max(content + (table->showGrid() ? 1 : 0), header->sectionSizeHint(column));
    // Against the width the column has, however it got it (by hand, or the
    // view's own fit): only the end of a walk narrows it.
    const int now = header->sectionSize(column);
    if (exactly ? width == now : width <= now)
        return;
    header->resizeSection(column, width);
}

void ZnColumnFit::measureSlice()
{
    if (!table || !running)
        return;
    QElapsedTimer clock;
    clock.start();
    const int rows = table->rowCount();
    while (next < rows && !clock.hasExpired(kSliceMs)) {
        if (next >= viewFrom && next < viewTo) {
            next = viewTo;
            continue;
        }
        const int to = std::min({rows, next + kStep, next < viewFrom ? viewFrom : rows});
        measureRows(next, to);
        next = to;
    }
    measureCandidates();
    if (next < rows) {
        apply(false);
        slices.start();
    } else {
        finish();
    }
}

void ZnColumnFit::finish()
{
    running = false;
    slices.stop();
    known.swap(seen);
    seen.clear();
    apply(true);
    emit fitted();
}

bool ZnColumnFit::passed(int row) const
{
    return !running || row < next || (row >= viewFrom && row < viewTo);
}

void ZnColumnFit::cellsChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight)
{
    if (!table || !topLeft.isValid() || !bottomRight.isValid() || topLeft.column() > column
        || bottomRight.column() < column)
        return;
    if (bottomRight.row() - topLeft.row() >= kChangedRows) {
        rowsShifted();
        return;
    }
    const QFontMetricsF metrics(running ? font : table->font());
    bool ranked = false;
    for (int r = topLeft.row(); r <= bottomRight.row(); ++r) {
        const QTableWidgetItem *cell = table->item(r, column);
        // A row the walk has still to reach is measured when it gets there.
        if (!cell || !passed(r))
            continue;
        const qreal width = widthOf(metrics, cell->text());
        const Candidate *end = widest + kept;
        Candidate *was = std::find_if(widest, widest + kept, [r](const Candidate &c) { return c.row == r; });
        if (was != end) {
            // Most changes to a row leave its text as it was.
            if (was->quick == width)
                continue;
            // The row's earlier text is no candidate any more.
            std::move(was + 1, widest + kept, was);
            --kept;
        }
        ranked = rank(width, r) || ranked;
    }
    if (!ranked)
        return;
    measureCandidates();
    apply(false);
}

void ZnColumnFit::rowsShifted()
{
    // Rows shifted under the walk and the candidates: all are measured again,
    // the column kept until the walk has its width.
    if (!table)
        return;
    begin();
    if (!slices.isActive())
        slices.start();
}
