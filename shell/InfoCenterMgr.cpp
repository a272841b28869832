#include "InfoCenterMgr.h"

#include "ServiceHub.h"
#include "ZnApi.h"
#include "ZnConfigNotice.h"
#include "ZnConfigSettings.h"
#include "ZnManageCenter.h"
#include "ZnServerText.h"

#include "ZnCapInfoForm.h"
#include "ZnD72InfoForm.h"
#include "ZnD74InfoForm.h"
#include "ZnD82InfoForm.h"
#include "ZnFAlarmInfoForm.h"
#include "ZnMediaMgrForm.h"
#include "ZnMicGroupInfoForm.h"
#include "ZnMicInfoForm.h"
#include "ZnPlanTaskMgrForm.h"
#include "ZnPlayerInfoForm.h"
#include "ZnRegionMgrForm.h"
#include "ZnSsTaskMgrForm.h"
#include "ZnSystemSettingForm.h"
#include "ZnTalkLogInfoForm.h"
#include "ZnTalkRecordForm.h"
#include "ZnTermLogInfoForm.h"
#include "ZnTimerTaskMgrForm.h"
#include "ZnTitleDClicked.h"
#include "ZnTtsInfoForm.h"
#include "ZnUserLogInfoForm.h"

#include <QDateTime>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QScreen>
#include <QStatusBar>
#include <QTimerEvent>

namespace {
const char *const kVersion = "v4.4.1689.sp";
// The system title is the server's text; the title bar shows this much of it at
// most, and less where the tabs, the clock and the buttons need the room.
const int kTitleWidth = 480;

QString buttonStyle(const char *name)
{
    return QStringLiteral("QPushButton{background-color:#334148;border-image:url(:/images/button/%1_normal.png);}"
                          "QPushButton:hover{border-image:url(:/images/button/%1_hover.png);}"
                          "QPushButton:pressed{border-image:url(:/images/button/%1_pressed.png);}")
        .arg(QLatin1String(name));
}
} // namespace

InfoCenterMgr::InfoCenterMgr(int maxFlag, QWidget *parent) : ShadowWidget<QMainWindow>(parent)
{
    ui.setupUi(this);
    // After a direct login a setting not saved at the start is told over this window.
    ZnConfigNotice::watch(this);

    const QIcon icon(QStringLiteral(":/images/info32x32.png"));
    setWindowIcon(icon);
    ui.icon_le->setPixmap(icon.pixmap(32, 32));
    setWindowTitle(QStringLiteral("管理中心"));
    ui.title_name_le->setMaximumWidth(kTitleWidth);
    ui.title_name_le->setWholeText(QStringLiteral("管理中心"));

    const struct
    {
        QPushButton *button;
        const char *icon;
    } icons[] = {
        {ui.fSsTaskMgrBtn, "task_ss"},         {ui.fTimerTaskMgrBtn, "task_timer"},
        {ui.fManualTaskMgrBtn, "task_manual"}, {ui.fSdkTaskMgrBtn, "task_sdk"},
        {ui.fPlayerMgrBtn, "player_term"},     {ui.fMicMgrBtn, "server_mic"},
        {ui.fCallMicMgrBtn, "call_mic"},       {ui.fEmMicMgrBtn, "alarm_info"},
        {ui.fCapMgrBtn, "plate_svr"},          {ui.fTtsMgrBtn, "term_tts"},
        {ui.fFAlarmMgrBtn, "term_falarm"},     {ui.fD82MgrBtn, "term_d82"},
        {ui.fMediaMgrBtn, "media_mgr"},        {ui.fMicGroupMgrBtn, "server_group"},
        {ui.fRegionMgrBtn, "region_mgr"},      {ui.fSystemSetMgrBtn, "parameter_setting"},
        {ui.fUserLogMgrBtn, "userlog"},        {ui.fTalkLogMgrBtn, "talklog"},
        {ui.fTermLogMgrBtn, "termlog"},        {ui.fTalkRecordMgrBtn, "talk_record"},
    };
    for (const auto &i : icons)
        i.button->setIcon(QIcon(QStringLiteral(":/images/%1.png").arg(QLatin1String(i.icon))));

    ui.show_normal_btn->hide();
    ui.left_title_widget->hide();

    currentButton = ui.fMicGroupMgrBtn;
    currentButton->setEnabled(false);

    planTasks = new ZnPlanTaskMgrForm;
    players = new ZnPlayerInfoForm;
    players->showTerminals();
    mics = new ZnMicInfoForm;
    d82 = new ZnD82InfoForm;
    media = new ZnMediaMgrForm;
    micGroups = new ZnMicGroupInfoForm(nullptr);
    systemSettings = new ZnSystemSettingForm;

    slot_setTitleName(systemSettings->titleText());

    for (QWidget *page :
         std::initializer_list<QWidget *>{planTasks, players, mics, d82, media, micGroups, systemSettings})
        ui.fCenterRightStacked->addWidget(page);

    connect(systemSettings, SIGNAL(sendTitleString(QString)), this, SLOT(slot_setTitleName(QString)));

    buildNavList();

    statusBarWidget = new QStatusBar;
    ui.statusLayout->addWidget(statusBarWidget);
    statusBarWidget->addPermanentWidget(new QLabel(QLatin1String(kVersion)));

    setWindowFlags(Qt::FramelessWindowHint);
    setAttribute(Qt::WA_MouseTracking);
    for (QPushButton *b : {ui.mini_btn, ui.close_btn, ui.max_btn, ui.show_normal_btn})
        b->setFixedSize(23, 25);
    ui.max_btn->setStyleSheet(buttonStyle("maximize_btn"));
    ui.show_normal_btn->setStyleSheet(buttonStyle("show_normal_btn"));

    for (QPushButton *b :
         {ui.fSdkTaskMgrBtn, ui.fCallMicMgrBtn, ui.fEmMicMgrBtn, ui.fD82MgrBtn, ui.fMicGroupMgrBtn, ui.fTalkLogMgrBtn})
        b->hide();

    maxWindow();

    connect(ui.fSsTaskMgrBtn, SIGNAL(clicked()), this, SLOT(showSsTaskInfoForm()));
    connect(ui.fTimerTaskMgrBtn, SIGNAL(clicked()), this, SLOT(showTimerTaskInfoForm()));
    connect(ui.fManualTaskMgrBtn, SIGNAL(clicked()), this, SLOT(showManualTaskInfoForm()));
    connect(ui.fSdkTaskMgrBtn, SIGNAL(clicked()), this, SLOT(showSdkTaskInfoForm()));
    connect(ui.fPlayerMgrBtn, SIGNAL(clicked()), this, SLOT(showPlayerInfoForm()));
    connect(ui.fMicMgrBtn, SIGNAL(clicked()), this, SLOT(showMicInfoForm()));
    connect(ui.fCallMicMgrBtn, SIGNAL(clicked()), this, SLOT(showD72InfoForm()));
    connect(ui.fEmMicMgrBtn, SIGNAL(clicked()), this, SLOT(showD74InfoForm()));
    connect(ui.fCapMgrBtn, SIGNAL(clicked()), this, SLOT(showCaptureInfoForm()));
    connect(ui.fTtsMgrBtn, SIGNAL(clicked()), this, SLOT(showTtsInfoForm()));
    connect(ui.fFAlarmMgrBtn, SIGNAL(clicked()), this, SLOT(showFAlarmInfoForm()));
    connect(ui.fD82MgrBtn, SIGNAL(clicked()), this, SLOT(showD82InfoForm()));
    connect(ui.fMediaMgrBtn, SIGNAL(clicked()), this, SLOT(showMediaInfoForm()));
    connect(ui.fMicGroupMgrBtn, SIGNAL(clicked()), this, SLOT(showMicGroupInfoForm()));
    connect(ui.fRegionMgrBtn, SIGNAL(clicked()), this, SLOT(showRegionInfoForm()));
    connect(ui.fSystemSetMgrBtn, SIGNAL(clicked()), this, SLOT(showSystemSetForm()));
    connect(ui.fUserLogMgrBtn, SIGNAL(clicked()), this, SLOT(showUserLogInfoForm()));
    connect(ui.fTalkLogMgrBtn, SIGNAL(clicked()), this, SLOT(showTalkLogInfoForm()));
    connect(ui.fTermLogMgrBtn, SIGNAL(clicked()), this, SLOT(showTermLogInfoForm()));
    connect(ui.fTalkRecordMgrBtn, SIGNAL(clicked()), this, SLOT(showTalkRecordInfoForm()));
    connect(ui.close_btn, SIGNAL(clicked()), this, SLOT(close()));
    connect(ui.max_btn, SIGNAL(clicked()), this, SLOT(maxWindow()));
    connect(ui.show_normal_btn, SIGNAL(clicked()), this, SLOT(normalWindow()));
    connect(ui.mini_btn, SIGNAL(clicked()), this, SLOT(showMinimized()));

    titleFilter = new ZnTitleDClicked(this, ui.title_widget);
    connect(titleFilter, &ZnTitleDClicked::doubleClicked, this, [this] {
        if (isMaximisedFrame())
            normalWindow();
        else
            maxWindow();
    });
    ui.title_widget->installEventFilter(titleFilter);

    normalGeometry = geometry();

    startClock();

    if (maxFlag != 0)
        maxWindow();
}

InfoCenterMgr::~InfoCenterMgr()
{
    ui.title_widget->removeEventFilter(titleFilter);
    delete titleFilter;
}

void InfoCenterMgr::buildNavList()
{
    titlesListWidget = new QListWidget;
    titlesListWidget->setObjectName(QStringLiteral("titlesListWidget"));
    titlesListWidget->setViewMode(QListView::IconMode);
    titlesListWidget->setMaximumSize(1000, 80);
    titlesListWidget->setMinimumSize(350, 80);
    titlesListWidget->setIconSize(QSize(32, 32));
    titlesListWidget->setMovement(QListView::Static);
    titlesListWidget->setLineWidth(-2);
    titlesListWidget->setAutoScrollMargin(8);
    titlesListWidget->setResizeMode(QListView::Adjust);
    // One row of tabs: a second one would lie hidden below the first.
    titlesListWidget->setWrapping(false);
    titlesListWidget->setSpacing(6);
    titlesListWidget->setStyleSheet(QStringLiteral("color:#ffffff;"));

    const struct
    {
        const char *icon;
        const char *text;
    } rows[] = {
        {"top_task32px", QT_TR_NOOP("Programme Source")},
        {"top_terminal32px", QT_TR_NOOP("Terminal Manage")},
        {"top_setting32px", QT_TR_NOOP("Advanced Setup ")},
        {"top_log32px", QT_TR_NOOP("User Log")},
        {"top_record", QT_TR_NOOP("Record")},
    };
    for (const auto &r : rows) {
        auto *item = new QListWidgetItem(QIcon(QStringLiteral(":/images/%1.png").arg(QLatin1String(r.icon))),
                                         tr(r.text), titlesListWidget);
        item->setTextAlignment(Qt::AlignHCenter);
        item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    }
    titlesListWidget->item(4)->setHidden(true);
    connect(titlesListWidget, SIGNAL(currentItemChanged(QListWidgetItem *, QListWidgetItem *)), this,
            SLOT(changePage(QListWidgetItem *, QListWidgetItem *)));
    ui.TopLayout->addWidget(titlesListWidget);
    // The tabs take the room they need from the title bar: the title gives way,
    // not a tab. Measured in the list's place, with its style and font.
    titlesListWidget->ensurePolished();
    int oneRow = 2 * titlesListWidget->frameWidth() + titlesListWidget->spacing();
    for (int r = 0; r < titlesListWidget->count(); ++r) {
        if (!titlesListWidget->item(r)->isHidden())
            oneRow += titlesListWidget->sizeHintForIndex(titlesListWidget->model()->index(r, 0)).width()
                      + titlesListWidget->spacing();
    }
    titlesListWidget->setMinimumWidth(qMax(titlesListWidget->minimumWidth(), oneRow));
    titlesListWidget->setCurrentRow(0);
}

template <class Page, class Make>
void InfoCenterMgr::showPage(Page *&page, QPushButton *button, Make make)
{
    if (!page) {
        page = make();
        ui.fCenterRightStacked->addWidget(page);
    }
    if (currentButton)
        currentButton->setEnabled(true);
    QFont f = button->font();
    f.setWeight(75);
    button->setFont(f);
    button->setEnabled(false);
    currentButton = button;
    ui.fCenterRightStacked->setCurrentWidget(page);
}

void InfoCenterMgr::showSsTaskInfoForm()
{
    showPage(planTasks, ui.fSsTaskMgrBtn, [] { return new ZnPlanTaskMgrForm; });
}

void InfoCenterMgr::showTimerTaskInfoForm()
{
    showPage(timerTasks, ui.fTimerTaskMgrBtn, [] { return new ZnTimerTaskMgrForm(3); });
}

void InfoCenterMgr::showManualTaskInfoForm()
{
    showPage(manualTasks, ui.fManualTaskMgrBtn, [] { return new ZnSsTaskMgrForm(2); });
}

void InfoCenterMgr::showSdkTaskInfoForm()
{
    showPage(sdkTasks, ui.fSdkTaskMgrBtn, [] { return new ZnSsTaskMgrForm(4); });
}

void InfoCenterMgr::showPlayerInfoForm()
{
    showPage(players, ui.fPlayerMgrBtn, [] { return new ZnPlayerInfoForm; });
}

void InfoCenterMgr::showMicInfoForm()
{
    showPage(mics, ui.fMicMgrBtn, [] { return new ZnMicInfoForm; });
}

void InfoCenterMgr::showD72InfoForm()
{
    showPage(d72, ui.fCallMicMgrBtn, [] { return new ZnD72InfoForm(nullptr); });
}

void InfoCenterMgr::showD74InfoForm()
{
    showPage(d74, ui.fEmMicMgrBtn, [] { return new ZnD74InfoForm(nullptr); });
}

void InfoCenterMgr::showCaptureInfoForm()
{
    showPage(caps, ui.fCapMgrBtn, [] { return new ZnCapInfoForm; });
}

void InfoCenterMgr::showTtsInfoForm()
{
    showPage(tts, ui.fTtsMgrBtn, [] { return new ZnTtsInfoForm; });
}

void InfoCenterMgr::showFAlarmInfoForm()
{
    showPage(fireAlarms, ui.fFAlarmMgrBtn, [] { return new ZnFAlarmInfoForm; });
}

void InfoCenterMgr::showD82InfoForm()
{
    showPage(d82, ui.fD82MgrBtn, [] { return new ZnD82InfoForm; });
}

void InfoCenterMgr::showMediaInfoForm()
{
    showPage(media, ui.fMediaMgrBtn, [] { return new ZnMediaMgrForm; });
}

void InfoCenterMgr::showMicGroupInfoForm()
{
    showPage(micGroups, ui.fMicGroupMgrBtn, [] { return new ZnMicGroupInfoForm(nullptr); });
}

void InfoCenterMgr::showRegionInfoForm()
{
    showPage(regions, ui.fRegionMgrBtn, [] { return new ZnRegionMgrForm(nullptr); });
}

void InfoCenterMgr::showSystemSetForm()
{
    showPage(systemSettings, ui.fSystemSetMgrBtn, [] { return new ZnSystemSettingForm; });
}

void InfoCenterMgr::showUserLogInfoForm()
{
    showPage(userLog, ui.fUserLogMgrBtn, [] { return new ZnUserLogInfoForm(nullptr); });
}

void InfoCenterMgr::showTalkLogInfoForm()
{
    showPage(talkLog, ui.fTalkLogMgrBtn, [] { return new ZnTalkLogInfoForm(nullptr); });
}

void InfoCenterMgr::showTermLogInfoForm()
{
    showPage(termLog, ui.fTermLogMgrBtn, [] { return new ZnTermLogInfoForm(nullptr); });
}

void InfoCenterMgr::showTalkRecordInfoForm()
{
    showPage(talkRecords, ui.fTalkRecordMgrBtn, [this] { return new ZnTalkRecordForm(ui.centralWidget); });
}

void InfoCenterMgr::changePage(QListWidgetItem *current, QListWidgetItem *previous)
{
    const int row = titlesListWidget->row(current ? current : previous);
    ui.fCenterLeftStacked->setCurrentIndex(row);
    switch (row) {
    case 0:
        showSsTaskInfoForm();
        break;
    case 1:
        showPlayerInfoForm();
        break;
    case 2:
        showMediaInfoForm();
        break;
    case 3:
        showUserLogInfoForm();
        break;
    case 4:
        showTalkRecordInfoForm();
        break;
    default:
        break;
    }
}

void InfoCenterMgr::slot_setTitleName(QString title)
{
    setWindowTitle(ZnServerText::bounded(title));
    ui.title_name_le->setWholeText(title);
    ZnConfigSettings settings;
    if (settings.value(QStringLiteral("Setting/Title")).toString() != title)
        settings.setValue(QStringLiteral("Setting/Title"), title);
}

void InfoCenterMgr::maxWindow()
{
    if (isMax)
        return;
    isMax = true;
    ui.centralWidgetGridLayout->setContentsMargins(0, 0, 0, 0);
    ui.max_btn->hide();
    ui.show_normal_btn->show();
    if (QScreen *screen = QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());
    setCursor(Qt::ArrowCursor);
}

void InfoCenterMgr::normalWindow()
{
    if (!isMax)
        return;
    isMax = false;
    ui.centralWidgetGridLayout->setContentsMargins(6, 6, 6, 6);
    setGeometry(normalGeometry);
    ui.max_btn->show();
    ui.show_normal_btn->hide();
    const QRect desk = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->virtualGeometry() : QRect();
    move((desk.width() - width()) / 2, (desk.height() - height()) / 2);
}

// --- server clock -------------------------------------------------------------

QString InfoCenterMgr::serverTimeText()
{
    ServiceHub *hub = ServiceHub::instance();
    return hub && hub->centre() ? QString::fromStdString(hub->centre()->systemTime()) : QString();
}

void InfoCenterMgr::requestServerTime()
{
    if (ServiceHub *hub = ServiceHub::instance())
        apiGetSystemTime(hub->centre());
}

// The clock shows a four-digit year in local time; a time past that (or before
// 1970) is unreadable to it, as is a text that is no number.
bool InfoCenterMgr::isShowableTime(qint64 secs)
{
    // 9999-12-31 23:59:59 UTC; checked first, so that no larger value reaches the
    // date arithmetic (which counts in milliseconds).
    static const qint64 kLastUtcSecond = 253402300799;
    return secs > 0 && secs <= kLastUtcSecond && QDateTime::fromSecsSinceEpoch(secs).date().year() <= 9999;
}

// Only a positive number of seconds the clock can show counts; anything else
// leaves the time unknown.
qint64 InfoCenterMgr::parseServerTime(const QString &text)
{
    bool ok = false;
    const qint64 v = text.trimmed().toLongLong(&ok);
    return ok && isShowableTime(v) ? v : 0;
}

void InfoCenterMgr::startClock()
{
    srvTime = 0;
    requestServerTime();
    srvTime = parseServerTime(serverTimeText());
    if (clockTimerId == 0)
        clockTimerId = startTimer(1000, Qt::CoarseTimer);
}

void InfoCenterMgr::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == clockTimerId)
        clockTick();
}

void InfoCenterMgr::clockTick()
{
    if (srvTime != 0) {
        // The last second the clock can show is where it stops.
        if (isShowableTime(srvTime + 1))
            ++srvTime;
        const QDateTime t = QDateTime::fromSecsSinceEpoch(srvTime);
        ui.mSrvDateLe->setText(t.toString(QStringLiteral("yyyy-MM-dd")));
        ui.mSrvTimeLe->setText(t.toString(QStringLiteral("hh:mm:ss")));
        return;
    }
    const qint64 v = parseServerTime(serverTimeText());
    if (v != 0) {
        srvTime = isShowableTime(v + 1) ? v + 1 : v;
        return;
    }
    const QDateTime now = QDateTime::currentDateTime();
    ui.mSrvDateLe->setText(now.toString(QStringLiteral("yyyy-MM-dd")));
    ui.mSrvTimeLe->setText(now.toString(QStringLiteral("hh:mm:ss")));
}
