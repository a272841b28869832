#pragma once

#include "ShadowWidget.h"
#include "ui_InfoCenterMgrClass.h"

#include <QMainWindow>
#include <QRect>

class QListWidget;
class QListWidgetItem;
class QPushButton;
class QStatusBar;
class ZnCapInfoForm;
class ZnD72InfoForm;
class ZnD74InfoForm;
class ZnD82InfoForm;
class ZnFAlarmInfoForm;
class ZnMediaMgrForm;
class ZnMicGroupInfoForm;
class ZnMicInfoForm;
class ZnPlanTaskMgrForm;
class ZnPlayerInfoForm;
class ZnRegionMgrForm;
class ZnSsTaskMgrForm;
class ZnSystemSettingForm;
class ZnTalkLogInfoForm;
class ZnTalkRecordForm;
class ZnTermLogInfoForm;
class ZnTimerTaskMgrForm;
class ZnTitleDClicked;
class ZnTtsInfoForm;
class ZnUserLogInfoForm;

// The main window: title bar with the tab row and the server clock, the menu of
// page buttons on the left, and the page stack.
class InfoCenterMgr : public ShadowWidget<QMainWindow>
{
    Q_OBJECT
public:
    explicit InfoCenterMgr(int maxFlag, QWidget *parent = nullptr);
    ~InfoCenterMgr() override;

    bool isMaximisedFrame() const { return isMax; }
    Ui::InfoCenterMgrClass &form() { return ui; }
    QListWidget *navList() const { return titlesListWidget; }
    qint64 serverTime() const { return srvTime; }

    // Server time text as the centre keeps it; seconds since 1970 in decimal.
    virtual QString serverTimeText();
    virtual void requestServerTime();

public slots:
    void normalWindow();
    void maxWindow();
    void showSsTaskInfoForm();
    void showTimerTaskInfoForm();
    void showManualTaskInfoForm();
    void showSdkTaskInfoForm();
    void showPlayerInfoForm();
    void showMicInfoForm();
    void showD72InfoForm();
    void showD74InfoForm();
    void showCaptureInfoForm();
    void showTtsInfoForm();
    void showFAlarmInfoForm();
    void showD82InfoForm();
    void showMediaInfoForm();
    void showMicGroupInfoForm();
    void showRegionInfoForm();
    void showSystemSetForm();
    void showUserLogInfoForm();
    void showTalkLogInfoForm();
    void showTermLogInfoForm();
    void showTalkRecordInfoForm();
    void changePage(QListWidgetItem *current, QListWidgetItem *previous);
    void slot_setTitleName(QString title);

    // One clock tick; the timer calls it every second.
    void clockTick();
    // Starts the clock: asks the server once and starts the 1 s timer.
    void startClock();

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    template <class Page, class Make>
    void showPage(Page *&page, QPushButton *button, Make make);
    void buildNavList();
    static bool isShowableTime(qint64 secs);
    static qint64 parseServerTime(const QString &text);

    bool isMax = false;
    QPushButton *currentButton = nullptr;
    QListWidget *titlesListWidget = nullptr;
    ZnPlanTaskMgrForm *planTasks = nullptr;
    ZnSsTaskMgrForm *manualTasks = nullptr;
    ZnSsTaskMgrForm *sdkTasks = nullptr;
    ZnTimerTaskMgrForm *timerTasks = nullptr;
    ZnPlayerInfoForm *players = nullptr;
    ZnMicInfoForm *mics = nullptr;
    ZnCapInfoForm *caps = nullptr;
    ZnTtsInfoForm *tts = nullptr;
    ZnD72InfoForm *d72 = nullptr;
    ZnD74InfoForm *d74 = nullptr;
    ZnD82InfoForm *d82 = nullptr;
    ZnFAlarmInfoForm *fireAlarms = nullptr;
    ZnMediaMgrForm *media = nullptr;
    ZnMicGroupInfoForm *micGroups = nullptr;
    ZnRegionMgrForm *regions = nullptr;
    ZnSystemSettingForm *systemSettings = nullptr;
    ZnUserLogInfoForm *userLog = nullptr;
    ZnTalkLogInfoForm *talkLog = nullptr;
    ZnTermLogInfoForm *termLog = nullptr;
    ZnTalkRecordForm *talkRecords = nullptr;
    QStatusBar *statusBarWidget = nullptr;
    QRect normalGeometry;
    Ui::InfoCenterMgrClass ui;
    ZnTitleDClicked *titleFilter = nullptr;
    int clockTimerId = 0;
    qint64 srvTime = 0;
};
