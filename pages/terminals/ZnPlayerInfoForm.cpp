#include "ZnPlayerInfoForm.h"

#include "BaseMessageDialog.h"
#include "BaseSetNameDialog.h"
#include "ZnApi.h"
#include "ZnColumnFit.h"
#include "ZnPlayTermListMgr.h"
#include "ZnSetAmpFormCtr.h"
#include "ZnSetTCPForm.h"
#include "ZnTableFill.h"
#include "ZnTableRow.h"
#include "ZnTerDefaultSetCtr.h"
#include "ZnTipsInfo.h"
#include "ZnVolumeStepper.h"

#include <QHeaderView>
#include <QTableWidget>

#include <memory>

namespace {
const QColor kRed(255, 0, 0);
const QColor kMagenta(255, 0, 255);
const QColor kGrey(192, 192, 192);
const int kSpeakerChecking = 3;

ZnPlayTermListMgr *model()
{
    return ZnPlayTermListMgr::instance();
}

bool isIpType(const ZnTerminal &terminal)
{
    return terminal.type == "IP";
}
} // namespace

ZnPlayerInfoForm::ZnPlayerInfoForm()
{
    setObjectName(QStringLiteral("ZnPlayerInfoForm"));
    ui.setupUi(this);
    initView();
    connectSignals();
    if (model()->lockList())
        model()->unlockList();
    else
        model()->requestPlayTermList();
}

void ZnPlayerInfoForm::initView()
{
    // The stepper gives the slider its range, style and start value (75) and
    // watches it for the mouse release.
    stepper = new ZnVolumeStepper(ui.fVolumeSlider, ui.fDecVolumnBtn, ui.fAddVolumnBtn, this);
    ui.fTcpModeBtn->hide();
    ui.fDefaultSetBtn->hide();
    ui.fSpeakerCheckBtn->hide();
    QTableWidget *t = ui.fTerListViewWidget;
    t->setColumnCount(ColumnCount);
    t->setHorizontalHeaderLabels({QStringLiteral("设备类型"), QStringLiteral("设备名称"), QStringLiteral("设备ID"),
                                  QStringLiteral("播放音量"), QStringLiteral("工作状态"), QStringLiteral("功放开启"),
                                  QStringLiteral("功放温度"), QStringLiteral("喇叭状态"), QStringLiteral("IP地址")});
    initTable();
    t->horizontalHeader()->setMinimumSectionSize(80);
    // The name column fits every row's name, not only those in view, also when
    // the view fits it itself (a double click on the header's divider).
    t->horizontalHeader()->setResizeContentsPrecision(-1);
    t->setColumnHidden(SpeakerColumn, true);
    nameFit = std::make_unique<ZnColumnFit>(t, NameColumn);
}

ZnPlayerInfoForm::~ZnPlayerInfoForm() = default;

void ZnPlayerInfoForm::connectSignals()
{
    ZnPlayTermListMgr *m = model();
    connect(m, &ZnPlayTermListMgr::gotPlayTermList, this, &ZnPlayerInfoForm::showTerminals);
    connect(m, &ZnPlayTermListMgr::playTermChanged, this, &ZnPlayerInfoForm::updateTer);
    connect(m, &ZnPlayTermListMgr::delTermError, this, &ZnPlayerInfoForm::slot_delError);
    QTableWidget *t = ui.fTerListViewWidget;
    connect(t, &QTableWidget::itemSelectionChanged, this, &ZnPlayerInfoForm::slot_tableItemSelected);
    connect(t, &QTableWidget::cellDoubleClicked, this, &ZnPlayerInfoForm::slot_setTermClicked);
    connect(ui.fDelTerBtn, &QPushButton::clicked, this, &ZnPlayerInfoForm::slot_delTermClicked);
    connect(ui.fSetTerNameBtn, &QPushButton::clicked, this, &ZnPlayerInfoForm::slot_setTermClicked);
    connect(ui.fVolumeSlider, &QSlider::valueChanged, this, &ZnPlayerInfoForm::slot_sliderChanged);
    connect(ui.fAddVolumnBtn, &QPushButton::released, this, &ZnPlayerInfoForm::addVolumnReleased);
    connect(ui.fAddVolumnBtn, &QPushButton::pressed, this, &ZnPlayerInfoForm::addVolumnPressed);
    connect(ui.fDecVolumnBtn, &QPushButton::released, this, &ZnPlayerInfoForm::decVolumnReleased);
    connect(ui.fDecVolumnBtn, &QPushButton::pressed, this, &ZnPlayerInfoForm::decVolumnPressed);
    connect(stepper, &ZnVolumeStepper::applyDue, this, &ZnPlayerInfoForm::doChangeVol);
    connect(stepper, &ZnVolumeStepper::releasedAt, this, &ZnPlayerInfoForm::progressVolumnChange);
    connect(ui.fAmpOpenBtn, &QPushButton::clicked, this, &ZnPlayerInfoForm::openAmpClicked);
    connect(ui.fAmpCloseBtn, &QPushButton::clicked, this, &ZnPlayerInfoForm::closeAmpClicked);
    connect(ui.fDefaultSetBtn, &QPushButton::clicked, this, &ZnPlayerInfoForm::defaultSetClicked);
    connect(ui.fTcpModeBtn, &QPushButton::clicked, this, &ZnPlayerInfoForm::tcpModeClicked);
    connect(ui.fSpeakerCheckBtn, &QPushButton::clicked, this, &ZnPlayerInfoForm::speakerCheckClicked);
}

QString ZnPlayerInfoForm::terminalKindText(int typeNumber)
{
    switch (typeNumber) {
    case 1:
        return tr("PRTerm");
    case 2:
        return tr("IPTerm");
    case 18:
        return tr("NDXSTerm");
    case 19:
        return tr("NDXTerm");
    case 30:
        return tr("CLTerm");
    default:
        return tr("01Term");
    }
}

QString ZnPlayerInfoForm::workStateText(int status)
{
    switch (status) {
    case 1:
        return tr("Idle");
    case 2:
        return tr("Broadcasting");
    case 3:
        return tr("Mic Broadcast");
    case 4:
        return tr("Warning");
    case 5:
        return tr("EmergencyBroadcast");
    default:
        return tr("Off Line");
    }
}

QString ZnPlayerInfoForm::speakerText(int state)
{
    switch (state) {
    case 0:
        return tr("Open Circuit");
    case 1:
        return tr("Pass");
    case 2:
        return tr("Short Circuit");
    case kSpeakerChecking:
        return tr("Checking");
    default:
        return tr("Unknown");
    }
}

// The fixed texts of the cells, looked up once per fill and shared by every row
// (a lookup and a copy per cell cost more than the rest of a row).
struct ZnPlayerInfoForm::CellTexts
{
    explicit CellTexts(const ZnPlayerInfoForm &page)
    {
        for (int i = 0; i <= 32; ++i)
            kinds[i] = terminalKindText(i);
        for (int i = 0; i < 6; ++i)
            states[i] = workStateText(i);
        for (int i = 0; i < 5; ++i)
            speakers[i] = speakerText(i);
        amp[0] = page.ampStateText(0);
        amp[1] = page.ampStateText(1);
        ampWarning = tr("Amp Warning");
    }
    const QString &kind(int number) const { return kinds[number >= 0 && number <= 32 ? number : 0]; }
    const QString &state(int status) const { return states[status >= 0 && status < 6 ? status : 0]; }
    const QString &speaker(int state) const { return speakers[state >= 0 && state < 4 ? state : 4]; }

    QString kinds[33];
    QString states[6];
    QString speakers[5];
    QString amp[2];
    QString ampWarning;
    const QString none = QStringLiteral("---");
    const QString cross = QStringLiteral("×");
    const QString degrees = QStringLiteral(" ℃");
};

void ZnPlayerInfoForm::makeRow(const ZnTerminal &term, ZnTableRow &row) const
{
    makeRow(CellTexts(*this), term, row);
}

void ZnPlayerInfoForm::makeRow(const CellTexts &texts, const ZnTerminal &term, ZnTableRow &row)
{
    // Cells without data read as 0, and black is the table's own text colour:
    // neither is stored, which keeps a refill of many thousand rows quick.
    const std::string &code = term.exten == "--" ? term.type : term.exten;
    row.add(texts.kind(terminalTypeIndex(code)), term.id);
    row.addLocal(term.name, term.id);
    row.add(QString::number(term.id), term.id);
    row.addText(QString::number(term.broVol));
    if (term.ampWarning && term.status != 0)
        row.addText(texts.ampWarning)->setForeground(kRed);
    else if (term.status == 5)
        row.addText(texts.state(term.status))->setForeground(kRed);
    else
        row.addText(texts.state(term.status));
    row.addText(texts.amp[term.power ? 1 : 0]);
    if (!isIpType(term)) {
        for (int i = 0; i < 2; ++i) {
            QTableWidgetItem *cell = row.addText(texts.none);
            cell->setTextAlignment(Qt::AlignCenter);
            cell->setForeground(kGrey);
        }
    } else if (term.status == 0) {
        row.addText(texts.cross);
        row.addText(texts.cross);
    } else {
        row.addText(QString::number(term.ampTemp) + texts.degrees);
        if (term.ampWarning)
            row.addText(texts.cross)->setForeground(kRed);
        else if (term.speaker == 1)
            row.addText(texts.speaker(term.speaker));
        else
            row.addText(texts.speaker(term.speaker))->setForeground(kRed);
    }
    row.addLocalText(term.ip);
}

int ZnPlayerInfoForm::rowOf(int id)
{
    QTableWidget *t = tableWidget();
    int low = 0, high = t->rowCount();
    while (low < high) {
        const int mid = (low + high) / 2;
        if (itemValue(mid, IdColumn) < id)
            low = mid + 1;
        else
            high = mid;
    }
    return low < t->rowCount() && itemValue(low, IdColumn) == id ? low : -1;
}

int ZnPlayerInfoForm::insertRecordRow(const ZnTerminal *terminal)
{
    if (!terminal)
        return -1;
    // Before the first row with a greater id.
    QTableWidget *t = tableWidget();
    int low = 0, high = t->rowCount();
    while (low < high) {
        const int mid = (low + high) / 2;
        if (itemValue(mid, IdColumn) <= terminal->id)
            low = mid + 1;
        else
            high = mid;
    }
    ZnTableRow row;
    makeRow(*terminal, row);
    ZnTableFill::insertRow(t, low, row);
    return low;
}

int ZnPlayerInfoForm::writeRecordRow(int row, const ZnTerminal *terminal)
{
    if (!terminal)
        return -1;
    ZnTableRow cells;
    makeRow(*terminal, cells);
    ZnTableFill::writeRow(tableWidget(), row, cells);
    return 0;
}

void ZnPlayerInfoForm::showTerminals()
{
    // Each new terminal makes the model announce the whole list: a storm of them
    // queues one signal per terminal. A refill the model asked for waits for the
    // signals queued behind it, and they all make that one refill.
    if (sender() == model()) {
        if (!refillQueued) {
            refillQueued = true;
            QMetaObject::invokeMethod(this, &ZnPlayerInfoForm::refillTerminals, Qt::QueuedConnection);
        }
        return;
    }
    refillTerminals();
}

void ZnPlayerInfoForm::refillTerminals()
{
    refillQueued = false;
    const std::list<ZnTerminal> *list = model()->lockList();
    if (!list)
        return;
    QTableWidget *t = tableWidget();
    {
        // The model keeps its list in id order.
        ZnTableFill fill(t, int(list->size()), ZnTableFill::ReuseCells);
        const CellTexts texts(*this);
        ZnTableRow row;
        row.reserve(ColumnCount);
        for (const ZnTerminal &term : *list) {
            makeRow(texts, term, row);
            fill.append(row);
            row.clear();
        }
    }
    model()->unlockList();
    nameFit->refit();
}

void ZnPlayerInfoForm::delTer(int) {}

void ZnPlayerInfoForm::updateTer(int id)
{
    const int row = rowOf(id);
    if (row >= 0)
        updateRow(row, id);
}

void ZnPlayerInfoForm::updateRow(int row, int id)
{
    if (std::unique_ptr<ZnTerminal> copy = model()->getTerminal(id))
        writeRecordRow(row, copy.get());
}

void ZnPlayerInfoForm::slot_tableItemSelected()
{
    QTableWidget *t = tableWidget();
    if (const QTableWidgetItem *cell = t->item(t->currentRow(), VolumeColumn)) {
        ui.fSetTerNameBtn->setEnabled(true);
        ui.fVolumeSlider->setValue(int(cell->text().toUInt()));
    }
}

void ZnPlayerInfoForm::tell(const QString &text)
{
    BaseMessageDialog box(ZnTipsInfo::tipsTitleText(), text, 1);
    box.exec();
}

int ZnPlayerInfoForm::commitTerminal(const ZnTerminal &terminal)
{
    const int result = model()->modifyTerminal(terminal);
    if (result != 0)
        tell(tr("Setting Error!"));
    return result;
}

void ZnPlayerInfoForm::progressVolumnChange(int volume)
{
    // Ids first: a failure box or a push may redraw the table between requests.
    for (int id : selectedIds())
        setRowVolume(id, volume);
}

void ZnPlayerInfoForm::addVolumnReleased()
{
    stepper->released();
}

void ZnPlayerInfoForm::addVolumnPressed()
{
    stepper->increasePressed();
}

void ZnPlayerInfoForm::decVolumnPressed()
{
    stepper->decreasePressed();
}

void ZnPlayerInfoForm::decVolumnReleased()
{
    stepper->released();
}

void ZnPlayerInfoForm::doChangeVol()
{
    stepper->stopTimers();
    progressVolumnChange(ui.fVolumeSlider->value());
}

void ZnPlayerInfoForm::slot_sliderChanged(int value)
{
    stepper->setLastValue(value);
}

bool ZnPlayerInfoForm::setRowVolume(int id, int volume)
{
    ZnTerminal terminal;
    if (!model()->hasTerminal(id, terminal))
        return false;
    terminal.broVol = volume;
    if (commitTerminal(terminal) != 0)
        return false;
    if (QTableWidgetItem *cell = tableWidget()->item(rowOf(id), VolumeColumn)) {
        cell->setText(QString::number(volume));
        cell->setData(Qt::UserRole, volume);
    }
    ui.fVolumeSlider->setValue(volume);
    return true;
}

void ZnPlayerInfoForm::switchAmps(bool on)
{
    // The row changes when the server reports the amplifier's new state.
    for (int id : selectedIds())
        model()->setAmpPower(id, "", on);
}

void ZnPlayerInfoForm::openAmpClicked()
{
    switchAmps(true);
}

void ZnPlayerInfoForm::closeAmpClicked()
{
    switchAmps(false);
}

void ZnPlayerInfoForm::slot_setTermClicked()
{
    const int id = currentId();
    ZnTerminal terminal;
    if (id < 0 || !model()->hasTerminal(id, terminal))
        return;
    BaseSetNameDialog dialog;
    dialog.setName(terminal.name.c_str());
    if (dialog.exec() != QDialog::Accepted)
        return;
    // Read again: a push while the dialog was open may have changed or removed it.
    if (!rowStillShown(id) || !model()->hasTerminal(id, terminal))
        return;
    // The terminal goes out as the list holds it now, with the entered name only
    // when the operator changed the field: a rename or volume pushed meanwhile stays.
    dialog.writeChanged(terminal.name);
    if (commitTerminal(terminal) != 0)
        return;
    if (QTableWidgetItem *cell = tableWidget()->item(rowOf(id), NameColumn))
        cell->setText(QString::fromLocal8Bit(terminal.name.c_str()));
}

void ZnPlayerInfoForm::slot_delTermClicked()
{
    const QList<int> ids = selectedIds();
    if (ids.isEmpty())
        return;
    BaseMessageDialog ask(ZnTipsInfo::tipsTitleText(), ZnTipsInfo::deleteRecordQuestionText(), 1);
    if (ask.exec() != 1)
        return;
    for (int i = ids.size() - 1; i >= 0; --i) {
        ZnTerminal terminal;
        if (!model()->hasTerminal(ids.at(i), terminal))
            continue;
        if (!isNull(terminal.status)) {
            tell(ZnTipsInfo::terminalNotOfflineText());
            continue;
        }
        if (model()->removeTerminal(terminal) == 0)
            removeRow(rowOf(terminal.id));
        else
            tell(tr("Delete Error!"));
    }
}

void ZnPlayerInfoForm::slot_delError()
{
    // Every family's removal is a device removal: the server's reason is told
    // here, and the page that asked adds its own box after it.
    tell(model()->lastError());
}

void ZnPlayerInfoForm::speakerCheckClicked()
{
    bool notIdle = false;
    bool refused = false;
    for (int id : selectedIds()) {
        std::unique_ptr<ZnTerminal> terminal = model()->getTerminal(id);
        if (!terminal || !isIpType(*terminal))
            continue;
        if (terminal->status != 1 || terminal->ampWarning) {
            notIdle = true;
            continue;
        }
        // Shown as checking only once the server took the request.
        if (model()->speakerCheck(*terminal) != 0) {
            refused = true;
            continue;
        }
        terminal->speaker = kSpeakerChecking;
        model()->mergeList(*terminal);
        if (QTableWidgetItem *cell = tableWidget()->item(rowOf(id), SpeakerColumn)) {
            cell->setText(speakerText(kSpeakerChecking));
            cell->setData(Qt::UserRole, 0);
            cell->setForeground(kMagenta);
        }
    }
    if (notIdle)
        tell(ZnTipsInfo::speakerCheckNotIdleText());
    if (refused)
        tell(tr("Setting Error!"));
}

void ZnPlayerInfoForm::setSpeakerEn() {}

void ZnPlayerInfoForm::offAmpSet() {}

void ZnPlayerInfoForm::sendSettings(const QList<ZnTerminal> &records)
{
    // The rows change when the server reports the terminals' new settings.
    for (const ZnTerminal &terminal : records)
        model()->setTerminal(terminal);
}

void ZnPlayerInfoForm::tcpModeClicked()
{
    ZnSetTCPForm dialog(1);
    if (dialog.exec() == QDialog::Accepted)
        sendSettings(dialog.results());
}

void ZnPlayerInfoForm::defaultSetClicked()
{
    ZnTerDefaultSetCtr dialog;
    dialog.loadTable();
    if (dialog.exec() == QDialog::Accepted)
        sendSettings(dialog.results());
}

void ZnPlayerInfoForm::ampTmptSetClick()
{
    ZnSetAmpFormCtr dialog;
    dialog.loadTable();
    if (dialog.exec() != QDialog::Accepted)
        return;
    for (const ZnTerminal &terminal : dialog.results()) {
        // A maximum volume left unset means the terminal was not configured.
        if (terminal.maxVol > 0)
            model()->setPlayTermConfig(terminal);
    }
}
