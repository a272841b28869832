#include "../tasks/FileServiceLink.h"
#include "BaseMessageDialog.h"
#include "DialogSteps.h"
#include "PageHolder.h"
#include "QtSchemeInfo.h"
#include "ZnCapInfoForm.h"
#include "ZnD72InfoForm.h"
#include "ZnD72ListMgr.h"
#include "ZnD74InfoForm.h"
#include "ZnD74ListMgr.h"
#include "ZnD82InfoForm.h"
#include "ZnFAlarmInfoForm.h"
#include "ZnFontSetup.h"
#include "ZnMicGroupInfoForm.h"
#include "ZnMicInfoForm.h"
#include "ZnPlanTaskMgrForm.h"
#include "ZnPlayerInfoForm.h"
#include "ZnRegionListMgr.h"
#include "ZnRegionMgrForm.h"
#include "ZnResources.h"
#include "ZnSetAmpFormCtr.h"
#include "ZnSsTaskDataMgr.h"
#include "ZnSsTaskMgrForm.h"
#include "ZnStartup.h"
#include "ZnSystemSettingForm.h"
#include "ZnTalkLogInfoForm.h"
#include "ZnTimerTaskMgrForm.h"
#include "ZnTtsInfoForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QTextEdit>
#include <QTimeEdit>
#include <QTranslator>
#include <QtTest>

#include <algorithm>
#include <cstdlib>
#include <map>

namespace {

// Every check and refusal the operator meets on a page or in an edit dialog:
// what they do, what the server refuses (a request and its text, or kUnanswered), the boxes
// shown in turn ("title|text" as the operator reads them, in Chinese; "(dialog)"
// for the edit dialog still open after them, then closed by the test) and the
// request that reached the server ("" when nothing at all did).
//
// Each family holds one online terminal (id base+1) and two offline ones.
// Acts: "delete ID", "edit ID NAME [CHANGE]..." (a double click, the name typed,
// the changes made, OK; "-" types none), "new NAME [CHANGE]...", "tick ID BOX"
// (that select-all box of the setting dialog ticked, OK), "unwritable ID BOX N"
// (as tick, with N entries the book text cannot write back added to the monitor
// or contact book of that device, see addUnwritable), "unreadable ID BOX" (as
// tick, with three entries of that book whose ids are no numbers the console
// keeps: "abc", an empty one and 99999999999), "twice ID" (the first
// offered audio source added twice), "channel ID ROW edit|reset" and "channel ID
// ROW name TEXT", "channel ID ROW press" (the edit button only: a channel of
// the fire-alarm dialog), "calls ID" (the call configuration ticked, OK),
// "led ID" (a new LED text, OK), "volume ID V" (the slider let go at V), "export",
// "amp ID", "speaker ID", "firewall", "defaults", "thresholds", "start ID" (on
// the plan of row 1 of the panel), "plannew NAME", "planedit ROW NAME",
// "planswitch ROW", "plandel ROW", "password", "vad TEXT", "title". Task edits
// take the changes "time=0" (a duration of 00:00:00), "count=0", "files=" (the
// play list emptied), "type=N" (source type N), "tts=TEXT", "terms=all", "exec="
// (every execution time removed) and "execname=TEXT" (a new execution time of
// that name; the task dialog is then left open). The players are base terminals
// (ids 1 to 3), which the default-setting and threshold dialogs list.
struct Refusal
{
    const char *tag, *page, *act, *refused, *reason, *boxes, *sent;
};

// The reason that makes the server keep the answer back instead of refusing.
const char *const kUnanswered = "(unanswered)";
const char *const kAsk = "提示|确定删除当前记录？ / ";
const char *const kOnline = "提示|确定删除当前记录？ / 提示|终端在线时不能删除！";
const char *const kRefused = "提示|确定删除当前记录？ / 提示|in use / 提示|删除错误！";

const Refusal kRefusals[] = {
    // Call microphones.
    {"d72: empty name", "d72", "edit 50002 -", "", "", "提示|名称不能为空！ / (dialog)", ""},
    {"d72: setting refused", "d72", "edit 50002 Hall", "POST ModTalkTerminal", "no", "提示|设置错误！",
     "POST ModTalkTerminal"},
    {"d72: button calls refused", "d72", "calls 50002", "POST D72ButtonCall", "no", "提示|按键呼叫配置错误！",
     "POST D72ButtonCall"},
    {"d72: online kept", "d72", "delete 50001", "", "", kOnline, ""},
    {"d72: delete refused, the reason then the page's", "d72", "delete 50002", "POST RemoveDevice", "in use", kRefused,
     "POST RemoveDevice"},
    // Emergency microphones.
    {"d74: empty name", "d74", "edit 60002 -", "", "", "提示|名称不能为空！ / (dialog)", ""},
    {"d74: setting refused", "d74", "edit 60002 Hall", "POST ModTalkTerminal", "no", "提示|设置错误！",
     "POST ModTalkTerminal"},
    {"d74: button calls refused", "d74", "calls 60002", "POST D74ButtonCall", "no", "提示|按键呼叫配置错误！",
     "POST D74ButtonCall"},
    {"d74: LED refused", "d74", "led 60002", "POST ModD74Led", "no", "提示|LED配置错误！", "POST ModD74Led"},
    {"d74: volume refused", "d74", "volume 60002 40", "POST IpAmpSet", "no", "提示|设置错误！", "POST IpAmpSet"},
    {"d74: delete refused", "d74", "delete 60002", "POST RemoveDevice", "in use", kRefused, "POST RemoveDevice"},
    // Server microphones, mobile devices and fire-alarm interfaces.
    {"d81: empty name", "d81", "edit 70002 -", "", "", "提示|名称不能为空！ / (dialog)", ""},
    {"d81: setting refused, the dialog stays", "d81", "edit 70002 Hall", "POST ModTalkTerminal", "no",
     "提示|设置错误！ / (dialog)", "POST ModTalkTerminal"},
    {"d81: monitor book refused, told, the dialog closes", "d81", "tick 70002 fMonitorAllCb", "POST D81MonitorBook",
     "no", "提示|提交监听名单错误！", "POST D81MonitorBook"},
    {"d81: audio sources refused, sent on every OK", "d81", "edit 70002 N2", "POST D81SoundSource", "no",
     "提示|提交音源任务错误！", "POST D81SoundSource"},
    {"d81: region book refused", "d81", "tick 70002 fRegionCb", "POST D81BroadBook", "no", "提示|提交分区配置错误！",
     "POST D81BroadBook"},
    {"d81: a source chosen twice, told under its own title", "d81", "twice 70002", "", "", "提示|已经选择! / (dialog)",
     ""},
    {"d81: delete refused, the server's reason", "d81", "delete 70002", "POST RemoveDevice", "in use",
     "提示|确定删除当前记录？ / 提示|in use", "POST RemoveDevice"},
    {"d82: empty name", "d82", "edit 80002 -", "", "", "提示|名称不能为空！ / (dialog)", ""},
    {"d82: rename refused, the dialog stays", "d82", "edit 80002 Hall", "POST ModTalkTerminal", "no",
     "提示|设置错误！ / (dialog)", "POST ModTalkTerminal"},
    {"d82: contact book refused, told, the dialog closes", "d82", "tick 80002 fTalkAllCb", "POST D82CallBook", "no",
     "提示|提交通信名单错误!", "POST D82CallBook"},
    {"d82: audio sources refused", "d82", "tick 80002 fSsTaskCb", "POST D82SoundSource", "no", "提示|提交音源任务错误!",
     "POST D82SoundSource"},
    {"d82: region book refused", "d82", "tick 80002 fRegionCb", "POST D82BroadBook", "no", "提示|提交分区配置错误!",
     "POST D82BroadBook"},
    // A book that could not be read is not sent, its select-all box ticked or
    // not: it would go out empty over the server's. Nothing is told, as in the
    // Dsk81 dialog.
    {"d82: contact book refused when read, all ticked: nothing sent, nothing told", "d82", "tick 80002 fTalkAllCb",
     "GET SqlConfig/D82CallList", "no", "", ""},
    {"d82: source book refused when read, all ticked: nothing sent, nothing told", "d82", "tick 80002 fSsTaskCb",
     "GET SqlConfig/FixSsTaskList", "no", "", ""},
    {"d82: region book unanswered, all ticked: nothing sent, nothing told", "d82", "tick 80002 fRegionCb",
     "GET SqlConfig/FixRegionList", kUnanswered, "", ""},
    // Book entries of a type no word of the book text names (0, 77), which no
    // row lists: a changed book is held back and the box names them, a long
    // list by its first ids and how many more, so that its words stay in view.
    {"d81: monitors of a type that cannot be written back: each named, the book kept", "d81",
     "unwritable 70002 fMonitorAllCb 2", "", "",
     "提示|监听名单中有类型无法写回的终端（ID 90001, 90002），监听名单未修改！", "POST D81SoundSource"},
    {"d81: 300 monitors that cannot be written back: the first five named, the box read whole", "d81",
     "unwritable 70002 fMonitorAllCb 300", "", "",
     "提示|监听名单中有类型无法写回的终端（ID 90001, 90002, 90003, 90004, 90005 及另外 295 个），监听名单未修改！",
     "POST D81SoundSource"},
    {"d82: 300 contacts that cannot be written back: the first five named, the box read whole", "d82",
     "unwritable 80002 fTalkAllCb 300", "", "",
     "提示|通信名单中有类型无法写回的终端（ID 90001, 90002, 90003, 90004, 90005 及另外 295 个），通信名单未修改！", ""},
    // Ids the console cannot keep as numbers, named as the server stored them.
    {"d81: monitors whose ids are no numbers: each named as stored, the book kept", "d81",
     "unreadable 70002 fMonitorAllCb", "", "",
     "提示|监听名单中有无法写回的终端（ID \"abc\", \"\", \"99999999999\"），监听名单未修改！", "POST D81SoundSource"},
    {"d82: contacts whose ids are no numbers: each named as stored, the book kept", "d82",
     "unreadable 80002 fTalkAllCb", "", "",
     "提示|通信名单中有无法写回的终端（ID \"abc\", \"\", \"99999999999\"），通信名单未修改！", ""},
    {"d82: delete refused, the server's reason", "d82", "delete 80002", "POST RemoveDevice", "in use",
     "提示|确定删除当前记录？ / 提示|in use", "POST RemoveDevice"},
    {"fire alarm: empty name", "falarm", "edit 30002 -", "", "", "提示|名称不能为空！ / (dialog)", ""},
    {"fire alarm: setting refused, the dialog stays", "falarm", "edit 30002 Hall", "POST SetFRName", "no",
     "提示|设置错误！ / (dialog)", "POST SetFRName"},
    {"fire alarm: a triggered channel is not edited", "falarm", "channel 30001 0 press", "", "",
     "提示|通道1触发状态，请空闲再配置！ / (dialog)", ""},
    {"fire alarm: a triggered channel is not reset", "falarm", "channel 30001 0 reset", "", "",
     "提示|通道1触发状态，请空闲再配置！ / (dialog)", ""},
    {"fire alarm: channel refused, told by its number", "falarm", "channel 30001 1 edit", "POST SetFRTrigger", "no",
     "提示|通道2设置错误！ / (dialog)", "POST SetFRTrigger"},
    {"fire alarm: channel reset refused", "falarm", "channel 30001 1 reset", "POST SetFRTrigger", "no",
     "提示|通道2设置错误！ / (dialog)", "POST SetFRTrigger"},
    // The channels travel in one text split at these marks.
    {"fire alarm: a channel name holding a separator", "falarm", "channel 30001 1 name a!!!b", "", "",
     "提示|通道名称不能包含“!!!”或“#$%” / (dialog) / (dialog)", ""},
    {"fire alarm: delete refused, the server's reason", "falarm", "delete 30002", "POST RemoveDevice", "in use",
     "提示|确定删除当前记录？ / 提示|in use", "POST RemoveDevice"},
    // Players and amplifiers.
    {"player: online kept", "player", "delete 1", "", "", kOnline, ""},
    {"player: delete refused", "player", "delete 2", "POST RemoveDevice", "in use", kRefused, "POST RemoveDevice"},
    {"player: delete refused without a reason: the model's empty text", "player", "delete 2", "POST RemoveDevice", "",
     "提示|确定删除当前记录？ / 提示| / 提示|删除错误！", "POST RemoveDevice"},
    {"player: rename refused", "player", "edit 2 Hall", "POST IpAmpSet", "no", "提示|设置错误！", "POST IpAmpSet"},
    {"player: volume refused", "player", "volume 2 40", "POST IpAmpSet", "no", "提示|设置错误！", "POST IpAmpSet"},
    {"player: amplifier switch refused, nothing told", "player", "amp 2", "POST IpAmpPower", "no", "",
     "POST IpAmpPower"},
    {"player: firewall refused, nothing told", "player", "firewall", "POST Terminal", "no", "", "POST Terminal"},
    {"player: default setting refused, nothing told", "player", "defaults", "POST Terminal", "no", "", "POST Terminal"},
    {"player: thresholds refused, nothing told", "player", "thresholds", "SET PlayTermConfig", "no", "",
     "SET PlayTermConfig"},
    {"player: speaker check of a terminal not idle", "player", "speaker 2", "", "", "提示|终端不空闲时不能检测喇叭！",
     ""},
    // Capture units and speech units.
    {"capture: empty name", "cap", "edit 20002 -", "", "", "提示|名称不能为空 / (dialog)", ""},
    {"capture: setting refused", "cap", "edit 20002 Hall", "POST CapD73Set", "no", "提示|设置错误！", "POST CapD73Set"},
    {"capture: delete refused", "cap", "delete 20002", "POST RemoveDevice", "in use", kRefused, "POST RemoveDevice"},
    {"tts: rename refused", "tts", "edit 40002 Hall", "POST TTs71Name", "no", "提示|设置错误！", "POST TTs71Name"},
    {"tts: delete refused", "tts", "delete 40002", "POST RemoveDevice", "in use", kRefused, "POST RemoveDevice"},
    // Microphone groups.
    {"group: empty name", "group", "edit 1 -", "", "", "提示|名称不能为空！ / (dialog)", ""},
    {"group: a new one without a name", "group", "new -", "", "", "提示|名称不能为空！ / (dialog)", ""},
    {"group: add refused", "group", "new Desk", "POST CallService", "no", "提示|设置错误！ / 提示|添加失败!",
     "POST CallService"},
    {"group: edit refused", "group", "edit 1 Desk", "POST CallService", "no", "提示|设置错误！ / 提示|编辑失败!",
     "POST CallService"},
    {"group: delete refused", "group", "delete 1", "POST CallService", "no", "提示|确定删除当前记录？ / 提示|删除失败!",
     "POST CallService"},
    // Regions.
    {"region: empty name", "region", "edit 1 -", "", "", "提示|名称不能为空！ / (dialog)", ""},
    {"region: a new one without a name", "region", "new -", "", "", "提示|名称不能为空！ / (dialog)", ""},
    {"region: add refused", "region", "new Hall", "POST BroadRegion", "no", "提示|设置失败！ / 提示|添加失败！",
     "POST BroadRegion"},
    {"region: edit refused", "region", "edit 1 Hall", "POST BroadRegion", "no", "提示|设置失败！ / 提示|修改失败！",
     "POST BroadRegion"},
    {"region: delete refused", "region", "delete 1", "POST BroadRegion", "no",
     "提示|确定删除当前记录？ / 提示|删除失败！", "POST BroadRegion"},
    // Timer plans.
    {"plan: empty name", "timer", "plannew -", "", "", "提示|方案名称不可以空! / (dialog)", ""},
    {"plan: add refused", "timer", "plannew Night", "POST TimerPlan", "no", "提示|方案添加失败!", "POST TimerPlan"},
    {"plan: renamed to nothing", "timer", "planedit 1 -", "", "", "提示|方案名称不可以空! / (dialog)", ""},
    {"plan: rename refused", "timer", "planedit 1 Nights", "POST TimerPlan", "no", "提示|方案修改失败!",
     "POST TimerPlan"},
    {"plan: switch refused", "timer", "planswitch 1", "POST TimerPlan", "no", "提示|方案修改失败!", "POST TimerPlan"},
    {"plan: the default plan kept, nothing asked", "timer", "plandel 0", "", "", "提示|默认方案不可以删除！", ""},
    {"plan: delete refused", "timer", "plandel 1", "POST TimerPlan", "no",
     "提示|确认删除方案？ / 提示|删除方案失败，如有任务请先删除!", "POST TimerPlan"},
    {"plan: delete not answered in time", "timer", "plandel 1", "POST TimerPlan", kUnanswered,
     "提示|确认删除方案？ / 提示|等待超时!", "POST TimerPlan"},
    // Tasks.
    {"task: a running one is not edited", "manual", "edit 4 Hall", "", "", "提示|任务正在执行，不可编辑！", ""},
    {"task: a microphone broadcast is not edited", "plan", "edit 2 Hall", "", "", "提示|话筒广播不可编辑！", ""},
    {"task: a running one is not deleted", "manual", "delete 4", "", "",
     "提示|确定删除当前记录？ / 提示|任务正在执行，不可编辑！", ""},
    {"task: delete refused, told once by the asking page", "manual", "delete 3", "POST SoundSource",
     "Task is in a plan", "提示|确定删除当前记录？ / 提示|Task is in a plan", "POST SoundSource"},
    {"task: tasks of a disabled plan not started", "timer", "start 7", "", "", "提示|方案已禁用!", ""},
    // The plan task dialog, on a stored task and on a new one.
    {"plan task: empty name", "plan", "edit 1 -", "", "", "提示|名称不能为空！ / (dialog)", ""},
    {"plan task: a new one without a name", "plan", "new -", "", "", "提示|名称不能为空！ / (dialog)", ""},
    {"plan task: a zero duration", "plan", "edit 1 Hall time=0", "", "", "提示|播放时长不能为0！ / (dialog)", ""},
    {"plan task: a new one of a zero duration", "plan", "new Hall time=0", "", "", "提示|播放时长不能为0！ / (dialog)",
     ""},
    {"plan task: played no time", "plan", "edit 1 Hall count=0", "", "", "提示|播放次数不能为0！ / (dialog)", ""},
    {"plan task: a new one played no time", "plan", "new Hall count=0", "", "", "提示|播放次数不能为0！ / (dialog)",
     ""},
    {"plan task: no source, the play list emptied", "plan", "edit 1 Hall files=", "", "",
     "提示|请选择播放文件！ / (dialog)", ""},
    {"plan task: a new one without a source", "plan", "new Hall", "", "", "提示|请选择播放文件！ / (dialog)", ""},
    {"plan task: no capture unit", "plan", "edit 1 Hall type=2", "", "", "提示|请选择采集终端！ / (dialog)", ""},
    {"plan task: a new one without a capture unit", "plan", "new Hall type=2", "", "",
     "提示|请选择采集终端！ / (dialog)", ""},
    {"plan task: no speech text", "plan", "edit 8 Hall", "", "", "提示|TTS内容不能为空！ / (dialog)", ""},
    {"plan task: a new one without speech text", "plan", "new Hall type=3", "", "", "提示|TTS内容不能为空！ / (dialog)",
     ""},
    {"plan task: edit refused", "plan", "edit 1 Hall", "POST SoundSource", "no", "提示|修改失败！", "POST SoundSource"},
    {"plan task: add refused", "plan", "new Hall type=3 tts=Hi", "POST SoundSource", "no", "提示|添加失败！",
     "POST SoundSource"},
    // The timer task dialog, on manual, timer and SDK tasks.
    {"manual task: empty name", "manual", "edit 3 -", "", "", "提示|任务名称不能为空! / (dialog)", ""},
    {"manual task: a new one without a name", "manual", "new -", "", "", "提示|任务名称不能为空! / (dialog)", ""},
    {"manual task: a zero duration", "manual", "edit 3 Hall time=0", "", "", "提示|播放时长不能为0! / (dialog)", ""},
    {"manual task: a new one of a zero duration", "manual", "new Hall time=0", "", "",
     "提示|播放时长不能为0! / (dialog)", ""},
    {"manual task: played no time", "manual", "edit 3 Hall count=0", "", "", "提示|播放次数不能为0! / (dialog)", ""},
    {"manual task: a new one played no time", "manual", "new Hall count=0", "", "", "提示|播放次数不能为0! / (dialog)",
     ""},
    {"manual task: no terminal", "manual", "edit 5 Hall", "", "", "提示|请选择播放终端! / (dialog)", ""},
    {"manual task: a new one without a terminal", "manual", "new Hall", "", "", "提示|请选择播放终端! / (dialog)", ""},
    {"manual task: no source, the play list emptied", "manual", "edit 3 Hall files=", "", "",
     "提示|请选择播放文件！ / (dialog)", ""},
    {"manual task: a new one without a source", "manual", "new Hall terms=all", "", "",
     "提示|请选择播放文件！ / (dialog)", ""},
    {"manual task: no capture unit", "manual", "edit 3 Hall type=2", "", "", "提示|请选择采集终端! / (dialog)", ""},
    {"manual task: a new one without a capture unit", "manual", "new Hall terms=all type=2", "", "",
     "提示|请选择采集终端! / (dialog)", ""},
    {"manual task: no speech text", "manual", "edit 6 Hall", "", "", "提示|请输入TTS内容! / (dialog)", ""},
    {"manual task: a new one without speech text", "manual", "new Hall terms=all type=3", "", "",
     "提示|请输入TTS内容! / (dialog)", ""},
    {"manual task: edit refused", "manual", "edit 3 Hall", "POST SoundSource", "no", "提示|修改失败！",
     "POST SoundSource"},
    {"manual task: add refused", "manual", "new Hall terms=all type=3 tts=Hi", "POST SoundSource", "no",
     "提示|添加失败！", "POST SoundSource"},
    {"timer task: a new one without a name", "timer", "new -", "", "", "提示|任务名称不能为空! / (dialog)", ""},
    {"timer task: no execution time left", "timer", "edit 7 Hall exec=", "", "", "提示|请添加执行时间！ / (dialog)",
     ""},
    {"timer task: a new one without an execution time", "timer", "new Hall", "", "", "提示|请添加执行时间！ / (dialog)",
     ""},
    // The execution times travel in one text split at these marks.
    {"timer task: an execution time named with a separator", "timer", "edit 7 Hall execname=a#$%b", "", "",
     "提示|名称不能包含\"#$%\"或\"!!!\"！ / (dialog) / (dialog)", ""},
    {"timer task: a zero duration", "timer", "edit 7 Hall time=0", "", "", "提示|播放时长不能为0! / (dialog)", ""},
    {"sdk task: empty name", "sdk", "edit 10 -", "", "", "提示|任务名称不能为空! / (dialog)", ""},
    {"sdk task: stored without an execution time", "sdk", "edit 10 Hall", "", "", "提示|请添加执行时间！ / (dialog)",
     ""},
    // Logs.
    {"talk log: export without a log host", "talklog", "export", "", "", "提示|日志主机不存在，请选配主机!", ""},
    // System settings.
    {"settings: empty password", "settings", "password", "", "", "提示|密码不能为空！", ""},
    {"settings: time-out under 300", "settings", "vad 299", "", "", "提示|超时时间必须大于或者等于300秒", ""},
    {"settings: empty title", "settings", "title", "", "", "提示|请输入名称！", ""},
};

// A box as "title|text" (the text without the blanks and line breaks the box
// puts before it), marked " [scrolled]" when its text is not in view whole and
// " [off screen]" when the box leaves the screen; any other window as
// "(dialog)", closed.
ModalChain::Action reader(QStringList &said)
{
    return [&said](QWidget *w) {
        if (dynamic_cast<BaseMessageDialog *>(w)) {
            auto *edit = w->findChild<QTextEdit *>(QStringLiteral("infoTextEdit"));
            QString text = edit->toPlainText();
            text.remove(QRegularExpression(QStringLiteral("^\\s+")));
            if (edit->verticalScrollBar()->maximum() > 0)
                text += QStringLiteral(" [scrolled]");
            if (!w->screen()->availableGeometry().contains(w->frameGeometry()))
                text += QStringLiteral(" [off screen]");
            said << w->findChild<QLabel *>(QStringLiteral("messageTitle"))->text() + QLatin1Char('|') + text;
            ModalChain::confirm()(w);
            return;
        }
        said << QStringLiteral("(dialog)");
        if (auto *d = qobject_cast<QDialog *>(w))
            d->reject();
        else
            w->close();
    };
}

// The step for a window that waits for an answer once the box or dialog
// before it was closed: it is left to finish (a box is read as ever). Without
// it the window would be read as left open and closed while it still sends.
ModalChain::Action busy()
{
    return [](QWidget *) {};
}

// An edit step, or the box of a check made before its dialog opens.
ModalChain::Action dialogOr(ModalChain::Action step, QStringList &said)
{
    return [step, &said](QWidget *w) {
        if (dynamic_cast<BaseMessageDialog *>(w))
            reader(said)(w);
        else
            step(w);
    };
}

// Double-clicks the name of the row of that id with the mouse (column 0: the
// one no page hides).
void doubleClickName(QTableWidget *t, int id)
{
    const QPoint at = t->visualItemRect(t->item(rowOfId(t, id), 0)).center();
    QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(t->viewport(), Qt::LeftButton, {}, at);
}

// Book entries of types no book word names, ids from 90001 on, which no
// terminal has: monitors of the server microphone (0 and 77) or contacts of the
// D82 device (0) of that id.
void addUnwritable(ZnSimData &d, int owner, int count)
{
    const bool monitors = owner / 10000 == 7;
    std::vector<Json::Value> &rows = d.table(monitors ? "d81monitor" : "d82call");
    for (int i = 0; i < count; ++i)
        rows.push_back(record({{"terminalId", std::to_string(owner)},
                               {monitors ? "monitorId" : "contactId", std::to_string(90001 + i)},
                               {monitors ? "monitorType" : "contactType", i % 2 && monitors ? "77" : "0"},
                               {"orderId", std::to_string(rows.size() + 1)}}));
}

// Entries of a D82 device, whose ids are no numbers the console keeps, in the
// monitor or contact book of that id.
void addUnreadable(ZnSimData &d, int owner)
{
    const bool monitors = owner / 10000 == 7;
    std::vector<Json::Value> &rows = d.table(monitors ? "d81monitor" : "d82call");
    for (const char *id : {"abc", "", "99999999999"})
        rows.push_back(record({{"terminalId", std::to_string(owner)},
                               {monitors ? "monitorId" : "contactId", id},
                               {monitors ? "monitorType" : "contactType", "8"},
                               {"orderId", std::to_string(rows.size() + 1)}}));
}

// What addUnwritable or addUnreadable added: any id but a number below 90001.
bool isUnwritable(const Json::Value &entry)
{
    const std::string id = entry["monitorId"].asString() + entry["contactId"].asString();
    return id.empty() || id.size() > 5 || id.find_first_not_of("0123456789") != std::string::npos
           || std::stoi(id) >= 90001;
}

} // namespace

Q_DECLARE_METATYPE(const Refusal *)

// The boxes every page and edit dialog shows on a check or a refusal, read off
// the real pages against the simulated server and file service.
class TstRefusals : public QObject
{
    Q_OBJECT

    SimSession s;
    FileServiceLink files;
    PageHolder pages;

    QTableWidget *table(const QString &page)
    {
        if (page == QLatin1String("settings") || page == QLatin1String("talklog"))
            return nullptr;
        return dynamic_cast<ZnTerBaseCtr *>(pages.at(page))->tableWidget();
    }
    ZnTimerTaskMgrForm *timer() { return static_cast<ZnTimerTaskMgrForm *>(pages.at(QStringLiteral("timer"))); }
    // The requests that change something: all but queries, logins and keep-alives.
    int changes() const
    {
        int n = 0;
        for (const ZnSimRequest &r : s.sim.requests()) {
            const std::string label = r.label();
            if (label.compare(0, 3, "GET") != 0 && label.compare(0, 6, "ONLINE") != 0
                && label.compare(0, 5, "LOGIN") != 0)
                ++n;
        }
        return n;
    }
    static void click(QWidget *page, const char *button)
    {
        QAbstractButton *b = page->findChild<QAbstractButton *>(QLatin1String(button));
        QVERIFY2(b, button);
        b->click();
    }
    // One change of a task edit made in its dialog; false when it leaves the
    // dialog open without OK (a nested dialog it opened was answered meanwhile).
    static bool alter(QWidget *d, const QString &change)
    {
        const QString key = change.section(QLatin1Char('='), 0, 0), value = change.section(QLatin1Char('='), 1);
        if (key == QLatin1String("time")) {
            d->findChild<QCheckBox *>(QStringLiteral("fPlayTimeCheckBox"))->setChecked(true);
            d->findChild<QTimeEdit *>(QStringLiteral("fPlayTimeEdit"))->setTime(QTime(0, 0).addSecs(value.toInt()));
        } else if (key == QLatin1String("count")) {
            d->findChild<QCheckBox *>(QStringLiteral("fPlayCountCheckBox"))->setChecked(true);
            d->findChild<QLineEdit *>(QStringLiteral("fPlayCountLineEdit"))->setText(value);
        } else if (key == QLatin1String("files")) {
            auto *list = d->findChild<QTableWidget *>(QStringLiteral("fPlayTableWidget"));
            while (list->rowCount() > 0) {
                list->selectRow(0);
                emit list->cellDoubleClicked(0, 0);
            }
        } else if (key == QLatin1String("type")) {
            auto *type = d->findChild<QComboBox *>(QStringLiteral("fTypeComboBox"));
            type->setCurrentIndex(type->findData(value.toInt()));
        } else if (key == QLatin1String("tts")) {
            d->findChild<QTextEdit *>(QStringLiteral("fTtsContentTextEdit"))->setPlainText(value);
        } else if (key == QLatin1String("terms")) {
            d->findChild<QCheckBox *>(QStringLiteral("fTerminalCb"))->setChecked(true);
        } else if (key == QLatin1String("exec")) {
            auto *times = d->findChild<QTableWidget *>(QStringLiteral("fExecTimeTable"));
            while (times->rowCount() > 0) {
                times->setCurrentCell(0, 0);
                ModalChain::click(QStringLiteral("fTimeDelBtn"))(d);
            }
        } else if (key == QLatin1String("execname")) {
            ModalChain::click(QStringLiteral("fTimeAddBtn"))(d);
            return false;
        }
        return true;
    }
    // Shows on the timer page the plan that holds that task.
    void showPlanOf(int task)
    {
        ZnSsTask stored;
        QVERIFY(ZnSsTaskDataMgr::instance()->getTask(task, stored));
        QTableWidget *plans = timer()->schemePanel()->table();
        const int row = rowOfId(plans, stored.TimerPlanId);
        QVERIFY(row >= 0);
        plans->setCurrentCell(row, 0);
        emit plans->cellClicked(row, 0);
        QTRY_VERIFY(rowOfId(table(QStringLiteral("timer")), task) >= 0);
    }
    // The steps of the dialog an act opens, and the act itself.
    void operate(QWidget *page, const QString &act, std::vector<ModalChain::Action> &steps,
                 std::function<void()> &trigger)
    {
        const QStringList w = act.split(QLatin1Char(' '));
        const QString verb = w[0];
        const int id = w.value(1).toInt();
        QTableWidget *t =
            dynamic_cast<ZnTerBaseCtr *>(page) ? dynamic_cast<ZnTerBaseCtr *>(page)->tableWidget() : nullptr;
        const bool player = qobject_cast<ZnPlayerInfoForm *>(page) != nullptr;
        auto *amps = qobject_cast<ZnPlayerInfoForm *>(page);
        const auto named = [](const QString &edit, const QString &ok, const QString &name) {
            return fill(edit, name == QLatin1String("-") ? QString() : name, ok);
        };
        if (verb == QLatin1String("delete")) {
            selectIds(t, {id});
            trigger = [=] { click(page, player ? "fDelTerBtn" : "fDelBtn"); };
        } else if (verb == QLatin1String("edit") || verb == QLatin1String("new")) {
            const bool fresh = verb == QLatin1String("new");
            const QStringList changes = w.mid(fresh ? 2 : 3);
            const QString name = w.value(fresh ? 1 : 2);
            steps.push_back([=](QWidget *d) {
                d->findChild<QLineEdit *>(QStringLiteral("fNameEdit"))
                    ->setText(name == QLatin1String("-") ? QString() : name);
                for (const QString &change : changes) {
                    if (!alter(d, change))
                        return;
                }
                ModalChain::click(QStringLiteral("fOkBtn"))(d);
            });
            for (const QString &change : changes) {
                if (change.startsWith(QLatin1String("execname=")))
                    steps.push_back(fill(QStringLiteral("fNameEdit"), change.section(QLatin1Char('='), 1),
                                         QStringLiteral("fOkBtn")));
            }
            if (page == pages.at(QStringLiteral("timer")) && !fresh)
                showPlanOf(id);
            if (fresh)
                trigger = [=] { click(page, "fNewBtn"); };
            else
                trigger = [=] { doubleClickName(t, id); };
        } else if (verb == QLatin1String("tick") || verb == QLatin1String("unwritable")
                   || verb == QLatin1String("unreadable")) {
            if (verb == QLatin1String("unwritable"))
                s.sim.withData([&](ZnSimData &d) { addUnwritable(d, id, w.value(3).toInt()); });
            if (verb == QLatin1String("unreadable"))
                s.sim.withData([&](ZnSimData &d) { addUnreadable(d, id); });
            const QString box = w.value(2);
            steps.push_back([box](QWidget *d) {
                d->findChild<QCheckBox *>(box)->setChecked(true);
                ModalChain::click(QStringLiteral("fOkBtn"))(d);
            });
            // A refused book is told while the dialog goes on sending the next.
            steps.push_back(busy());
            steps.push_back(busy());
            trigger = [=] { doubleClickName(t, id); };
        } else if (verb == QLatin1String("twice")) {
            steps.push_back([](QWidget *d) {
                d->findChild<QTableWidget *>(QStringLiteral("fSsTaskTb"))->selectRow(0);
                ModalChain::click(QStringLiteral("fSsPlanAddBtn"))(d);
                ModalChain::click(QStringLiteral("fSsPlanAddBtn"))(d);
            });
            trigger = [=] { doubleClickName(t, id); };
        } else if (verb == QLatin1String("channel")) {
            const int row = w.value(2).toInt();
            const QString how = w.value(3);
            // "press" only presses the edit button: the channel is refused before its dialog opens.
            steps.push_back([=](QWidget *d) {
                d->findChild<QTableWidget *>(QStringLiteral("fChannelTb"))->setCurrentCell(row, 0);
                ModalChain::click(how == QLatin1String("reset") ? QStringLiteral("fDelChannelBtn")
                                                                : QStringLiteral("fEditChannelBtn"))(d);
            });
            if (how == QLatin1String("name")) {
                steps.push_back(fill(QStringLiteral("fChannelNameLe"), w.value(4), QStringLiteral("fOkBtn")));
            } else if (how == QLatin1String("edit")) {
                steps.push_back(ModalChain::click(QStringLiteral("fOkBtn")));
                // The setting dialog sends the channel once the channel dialog is closed.
                steps.push_back(busy());
            }
            trigger = [=] { doubleClickName(t, id); };
        } else if (verb == QLatin1String("calls")) {
            steps.push_back([](QWidget *d) {
                d->findChild<QGroupBox *>(QStringLiteral("fCallConfigGroupBox"))->setChecked(true);
                ModalChain::click(QStringLiteral("fOkBtn"))(d);
            });
            trigger = [=] { doubleClickName(t, id); };
        } else if (verb == QLatin1String("led")) {
            steps.push_back([](QWidget *d) {
                d->findChild<QLineEdit *>(QStringLiteral("fDispTextLineEdit"))->setText(QStringLiteral("Exit"));
                ModalChain::click(QStringLiteral("fOkBtn"))(d);
            });
            trigger = [=] { doubleClickName(t, id); };
        } else if (verb == QLatin1String("volume")) {
            selectIds(t, {id});
            auto *slider = page->findChild<QSlider *>(QStringLiteral("fVolumeSlider"));
            slider->setValue(w.value(2).toInt());
            trigger = [=] { QTest::mouseRelease(slider, Qt::LeftButton); };
        } else if (verb == QLatin1String("export")) {
            trigger = [=] { click(page, "fLogDownloadBt"); };
        } else if (verb == QLatin1String("amp")) {
            selectIds(t, {id});
            trigger = [=] { click(page, "fAmpOpenBtn"); };
        } else if (verb == QLatin1String("speaker")) {
            selectIds(t, {id});
            trigger = [=] { amps->speakerCheckClicked(); };
        } else if (verb == QLatin1String("firewall")) {
            steps.push_back([](QWidget *d) {
                ModalChain::click(QStringLiteral("fTcpBtn"))(d);
                ModalChain::click(QStringLiteral("fOkBtn"))(d);
            });
            trigger = [=] { amps->tcpModeClicked(); };
        } else if (verb == QLatin1String("defaults")) {
            steps.push_back(ModalChain::click(QStringLiteral("fOkBtn")));
            trigger = [=] { amps->defaultSetClicked(); };
        } else if (verb == QLatin1String("thresholds")) {
            steps.push_back([](QWidget *d) {
                auto *form = dynamic_cast<ZnSetAmpFormCtr *>(d);
                form->form().fAmpTableWidget->selectRow(0);
                form->form().fVolumnSpinBox_4->setValue(60);
                ModalChain::click(QStringLiteral("fOkBtn"))(d);
            });
            trigger = [=] { amps->ampTmptSetClick(); };
        } else if (verb == QLatin1String("start")) {
            QTableWidget *plans = timer()->schemePanel()->table();
            plans->setCurrentCell(1, 0);
            emit plans->cellClicked(1, 0);
            QTRY_VERIFY(rowOfId(t, id) >= 0);
            selectIds(t, {id});
            trigger = [=] { click(page, "fStartTask"); };
        } else if (verb.startsWith(QLatin1String("plan"))) {
            QtSchemeInfo *panel = timer()->schemePanel();
            const std::map<QString, const char *> buttons = {{QStringLiteral("plannew"), "fSchNewBtn"},
                                                             {QStringLiteral("planedit"), "fSchEditBtn"},
                                                             {QStringLiteral("planswitch"), "fSchEnableBtn"},
                                                             {QStringLiteral("plandel"), "fSchDelBtn"}};
            const char *button = buttons.at(verb);
            if (verb == QLatin1String("plannew"))
                steps.push_back(named(QStringLiteral("fSchemeNameLe"), QStringLiteral("fOkButton"), w.value(1)));
            else
                panel->table()->setCurrentCell(id, 0);
            if (verb == QLatin1String("planedit"))
                steps.push_back(named(QStringLiteral("fSchemeNameLe"), QStringLiteral("fOkButton"), w.value(2)));
            trigger = [=] { click(panel, button); };
        } else if (verb == QLatin1String("password")) {
            page->findChild<QGroupBox *>(QStringLiteral("fUserPassGb"))->setChecked(true);
            page->findChild<QLineEdit *>(QStringLiteral("fPassLe"))->clear();
            trigger = [=] { click(page, "fUserPassButton"); };
        } else if (verb == QLatin1String("vad")) {
            page->findChild<QGroupBox *>(QStringLiteral("fVadgroupBox"))->setChecked(true);
            page->findChild<QLineEdit *>(QStringLiteral("fVadlineEdit"))->setText(w.value(1));
            trigger = [=] { click(page, "fVadpushButton"); };
        } else if (verb == QLatin1String("title")) {
            page->findChild<QGroupBox *>(QStringLiteral("fTitleNameGb"))->setChecked(true);
            page->findChild<QLineEdit *>(QStringLiteral("fTitleLe"))->clear();
            trigger = [=] { click(page, "fSaveTileBtn"); };
        } else {
            QFAIL(qPrintable(QStringLiteral("no act ") + act));
        }
    }

private slots:
    void initTestCase()
    {
        // The file worker writes debug lines from its own thread while tests switch.
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
        ZnModalGuard::install();
        // The boxes are read as the operator reads them: in Chinese, with the
        // translation loaded as the console loads it, from the program's folder.
        znInitResources();
        QVERIFY(QTranslator().load(QStringLiteral("./translate/zh.qm")));
        installTranslator();
        // In the console's style and font, which set how much of a text a box shows.
        loadStyleSheet();
        ZnFontSetup::apply();
        s.sim.setPushChanges(true);
        s.sim.withData([](ZnSimData &d) {
            seedFamilies(d, 1);
            // Channel 1 of the online interface is triggered, channel 2 idle.
            Json::Value &alarm = d.table("firealarm").front();
            alarm["broadcast"] = "Door#$%3!!!4";
            alarm["shortCircuit"] = "1";
            // Tasks 6 and 8 speak no text, 5 plays on no terminal; SDK task 10 has
            // no execution time.
            std::vector<Json::Value> tasks = {taskRow(1, "P1", 1, 2),
                                              taskRow(2, "Mic", 1, 2, -1, "", 4),
                                              taskRow(3, "M1", 2, 2),
                                              taskRow(4, "M2", 2, 1),
                                              taskRow(5, "M3", 2, 2),
                                              taskRow(6, "M4", 2, 2, -1, "", 3),
                                              taskRow(7, "T1", 3, 2, 2, "b#$%30000"),
                                              taskRow(8, "P2", 1, 2, -1, "", 3),
                                              taskRow(10, "S1", 4, 2)};
            for (Json::Value &t : tasks) {
                t["terminalId"] = t["sourceId"] == "5" ? "" : "1";
                if (t["sourceType"] == "3")
                    t["sourceContent"] = "";
            }
            d.table("soundsource") = tasks;
            d.table("timerplan") = {planRow(1, "Weekdays", 1), planRow(2, "Holidays", 0)};
        });
        QVERIFY(startModels(s));
        QVERIFY(files.start());
        QVERIFY(fetchPageLists());
        QTRY_VERIFY(ZnD72ListMgr::instance()->micList().size() == 3);
        QTRY_VERIFY(ZnD74ListMgr::instance()->micList().size() == 3);
        QTRY_VERIFY(!ZnRegionListMgr::instance()->regionList().empty());
        pages.add<ZnD72InfoForm>("d72");
        pages.add<ZnD74InfoForm>("d74");
        pages.add<ZnTtsInfoForm>("tts");
        pages.add<ZnMicInfoForm>("d81");
        pages.add<ZnD82InfoForm>("d82");
        pages.add<ZnFAlarmInfoForm>("falarm");
        pages.add<ZnTalkLogInfoForm>("talklog");
        pages.add<ZnCapInfoForm>("cap");
        // Shown by the main window once it is built.
        pages.add<ZnPlayerInfoForm>("player")->showTerminals();
        pages.add<ZnMicGroupInfoForm>("group");
        pages.add<ZnRegionMgrForm>("region");
        pages.add<ZnPlanTaskMgrForm>("plan");
        pages.add<ZnSsTaskMgrForm>("manual", 2);
        pages.add<ZnSsTaskMgrForm>("sdk", 4);
        pages.add<ZnTimerTaskMgrForm>("timer", 3);
        pages.add<ZnSystemSettingForm>("settings");
        for (const char *page : {"d72", "d74", "tts", "cap", "player", "d81", "d82", "falarm"})
            QTRY_COMPARE(QLatin1String(page) + QString::number(table(QLatin1String(page))->rowCount()),
                         QLatin1String(page) + QStringLiteral("3"));
        QTRY_COMPARE(table(QStringLiteral("manual"))->rowCount(), 4);
        QTRY_COMPARE(timer()->schemePanel()->table()->rowCount(), 2);
    }
    void init()
    {
        s.sim.clearRules();
        // The books as seeded, without what an "unwritable" act added.
        s.sim.withData([](ZnSimData &d) {
            for (const char *book : {"d81monitor", "d82call"}) {
                std::vector<Json::Value> &rows = d.table(book);
                rows.erase(std::remove_if(rows.begin(), rows.end(), isUnwritable), rows.end());
            }
        });
    }

    void refusals_data() { addCases(kRefusals); }
    void refusals()
    {
        QFETCH(const Refusal *, c);
        const QString page = QLatin1String(c->page);
        QWidget *form = pages.at(page);
        std::vector<ModalChain::Action> steps;
        std::function<void()> trigger;
        operate(form, QString::fromUtf8(c->act), steps, trigger);
        if (QTest::currentTestFailed())
            return;
        if (*c->refused)
            s.sim.addRule(ZnSimRule::make(c->refused, c->reason == kUnanswered ? ZnSimRule::Withhold : ZnSimRule::Fail,
                                          c->reason, 0, 1));
        const QStringList boxes = QString::fromUtf8(c->boxes).split(QStringLiteral(" / "), Qt::SkipEmptyParts);
        const int before = changes();
        const int sentBefore = *c->sent ? s.sim.count(c->sent) : 0;
        QStringList said;
        for (ModalChain::Action &step : steps)
            step = dialogOr(step, said);
        // Two readers more than boxes expected: a surplus box shows in what was said.
        for (int i = 0; i < boxes.size() + 2; ++i)
            steps.push_back(reader(said));
        answering(steps, [&] {
            trigger();
            // A refusal the server sends back is told once its answer was handled.
            QVERIFY(s.settle());
        });
        QCOMPARE(said, boxes);
        if (*c->sent)
            QVERIFY(s.sim.count(c->sent) > sentBefore);
        else
            QCOMPARE(changes(), before);
    }

    // Last, as the connection does not come back: a plan deletion the server
    // never answers because the connection broke is told, not passed over.
    void planDeleteWithoutConnection()
    {
        QtSchemeInfo *panel = timer()->schemePanel();
        panel->table()->setCurrentCell(1, 0);
        s.sim.addRule(ZnSimRule::make("POST TimerPlan", ZnSimRule::CloseMidMessage));
        QStringList said;
        answering({reader(said), reader(said), reader(said)}, [&] { click(panel, "fSchDelBtn"); });
        QCOMPARE(said, (QStringList{QStringLiteral("提示|确认删除方案？"), QStringLiteral("提示|删除失败")}));
        QCOMPARE(panel->table()->rowCount(), 2);
    }

    void cleanupTestCase()
    {
        pages.clear();
        files.stop();
    }
};

QTEST_MAIN(TstRefusals)
#include "tst_refusals.moc"
