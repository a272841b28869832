#pragma once

#include "ZnMediaTableCtrl.h"
#include "ZnOpenedFields.h"
#include "ZnSsTask.h"

#include <QObject>
#include <QString>

#include <memory>
#include <string>
#include <utility>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSlider;
class QSpinBox;
class QStackedWidget;
class QTableWidget;
class QTableWidgetItem;
class QTextEdit;
class QTimeEdit;
class ZnTaskMediaListViewCtrl;

// The widgets both task edit dialogs have for name, volume, duration or count and
// the source: a play list of media files, a capture unit or a speech text.
struct ZnTaskSourceWidgets
{
    QLineEdit *name;
    QSlider *volSlider;
    QSpinBox *volSpin;
    QCheckBox *timeBox;
    QTimeEdit *timeEdit;
    QCheckBox *countBox;
    QLineEdit *countEdit;
    QComboBox *typeBox;
    QStackedWidget *stack;
    QTableWidget *fileTable;
    QTableWidget *playTable;
    QTableWidget *capTable;
    QTextEdit *ttsEdit;
    QLabel *sizeLabel;
};

// Fills those widgets from a task, keeps them consistent while the operator edits,
// and writes them back step by step, each step refusing with the dialog's text.
class ZnTaskSourceCtrl : public QObject
{
    Q_OBJECT
public:
    enum { TtsLimit = 200 };

    ZnTaskSourceCtrl(const ZnTaskSourceWidgets &widgets, ZnSsTask *task);
    ~ZnTaskSourceCtrl() override;

    // Fills the widgets as the task stands (Id 0: a new task).
    void fill();

    // One play-list entry: the full server path and the name shown.
    typedef std::pair<std::string, std::string> PlayEntry;
    const std::vector<PlayEntry> &playList() const { return entries; }
    // Appends a file; a path holding the play-list separator is refused with a
    // message and false.
    bool addPlayFile(const std::string &fullPath, const std::string &name);
    // Appends the files selected in the media browser (folders are skipped).
    void addSelectedFiles();
    void removePlayRow(int row);
    ZnTaskMediaListViewCtrl *browser() const { return mediaBrowser.get(); }
    // Exchanges a row with the one above (-1) or below (+1) and selects it.
    void movePlayRow(int row, int step);
    // Gives column 0 of every media-list row that check state.
    void setMediaChecks(int state);

    // Takes a stored task as the model holds it now, first thing on OK: a field the
    // operator left alone then sends what a push stored while the dialog was open.
    void takeStoredTask();
    // The write steps of OK, in the dialogs' order; false after a refusal.
    bool writeName(const QString &emptyText);
    bool writePlayAmount(const QString &noneText, const QString &zeroTimeText, const QString &zeroCountText);
    bool writeSource(const QString &noFileText, const QString &noCapText, const QString &noTtsText);

    static void refuse(const QString &text);

    // Joins the widgets to the dialog's slots of the names below, which hand on
    // to these; called once the dialog has filled its widgets.
    void connectDialog(QObject *dialog);
    void slot_setPlayTimeStateChanged(int state);
    void slot_setPlayCountsStateChanged(int state);
    void slot_capTableItemClicked(QTableWidgetItem *item);
    void slot_capTableCellChanged(int row, int column);
    void slot_textChanged();

private:
    void fillCaptureUnits();
    // Notes what the fields show once filled: OK keeps a stored value whose field
    // the operator left as it opened.
    void noteOpened();
    // True when the task is stored and none of these fields changed since it opened.
    bool kept(std::initializer_list<const QObject *> fields) const;
    bool keepSource() const;

    ZnTaskSourceWidgets w;
    ZnSsTask *task;
    std::vector<PlayEntry> entries;
    // Lists the server's media while the dialog is open; it is the file service's
    // receiver of task listings until it is released.
    std::unique_ptr<ZnTaskMediaListViewCtrl> mediaBrowser;
    ZnMediaTableCtrl mediaTable;
    ZnMediaTableCtrl playTable;
    int checkedCapRow = -1;
    ZnOpenedFields opened;
    std::vector<PlayEntry> openedEntries;
    int openedCapRow = -1;
};
