#pragma once

#include <QFont>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class QFontMetricsF;
class QModelIndex;
class QTableWidget;

// Keeps one column of a table as wide as the view's own fit over every row makes
// it: the widest cell as the cell shows it, or the header, whichever is wider.
// The view's measure of ten thousand cells costs more than filling them, so the
// widths come from the font and the view measures only the few widest. A refit
// measures the rows around the view at once and the others a slice at a time on
// the event loop, widening the column as wider cells turn up; the window is not
// held up by rows nobody sees yet. Only the end of a walk narrows the column. A cell written later widens the column
// when it needs more room; rows added or removed are measured again in the background.
class ZnColumnFit : public QObject
{
    Q_OBJECT
public:
    // Cells the view measures itself: the font's quick measure may rank cells of
    // nearly the same width unlike the view's own.
    enum { Candidates = 8 };

    // Fits that column of the table; a table destroyed first leaves it idle.
    ZnColumnFit(QTableWidget *table, int column);

    // Fits the column to the rows as they stand now, whatever width it had.
    void refit();
    // True while rows are left to measure.
    bool isFitting() const { return running; }

signals:
    // Every row measured, the column at its width.
    void fitted();

private:
    struct Candidate
    {
        qreal quick = 0;
        int row = -1;
        int exact = -1; // the view's width, -1 before it measured the cell
    };

    void begin();
    // Measures the rows from..to-1 that the walk has not passed yet.
    void measureRows(int from, int to);
    void measureSlice();
    void finish();
    qreal widthOf(const QFontMetricsF &metrics, const QString &text) const;
    // Takes the row among the widest if it is one of them.
    bool rank(qreal quick, int row);
    void measureCandidates();
    // The column at its width (exactly), or only ever wider than it is now.
    void apply(bool exactly);
    bool passed(int row) const;
    void cellsChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight);
    void rowsShifted();

    QPointer<QTableWidget> table;
    const int column;
    QTimer slices;
    bool running = false;
    int next = 0;                 // the next row the walk measures
    int viewFrom = 0, viewTo = 0; // rows measured at once, skipped by the walk
    Candidate widest[Candidates]; // widest first
    int kept = 0;
    int content = 0;             // the widest cell the view measured
    QHash<QString, qreal> known; // widths of the cells of the last whole walk
    QHash<QString, qreal> seen;  // widths of this walk's cells
    QFont font;
};
