#include "QtSchemeInfo.h"

#include "BaseMessageDialog.h"
#include "QtSchemePropertyDialog.h"
#include "ZnCommonTable.h"
#include "ZnQtViewCtrl.h"
#include "ZnQtViewSignal.h"
#include "ZnSchemeList.h"
#include "ZnSchemeViewCtrl.h"
#include "ZnTipsInfo.h"

#include <QHeaderView>

namespace {
const int kDefaultPlan = 1;
}

QtSchemeInfo::QtSchemeInfo(QWidget *parent, int kind) : QWidget(parent), schemeKind(kind)
{
    ui.setupUi(this);
    const QString kinds[] = {tr("Play Task"), tr("Amp Task"), tr("Power Task"), tr("Volume Task")};
    ui.fLblSchemeTip->setText(kind >= 0 && kind < 4 ? kinds[kind] : QString());
    ui.fLblSchemeTip->hide();
    view = new ZnSchemeViewCtrl(ui.fTblSchemeList);

    ZnSchemeList *list = ZnSchemeList::instance();
    if (ZnQtViewCtrl *ctrl = list->viewCtrl(kind)) {
        ZnQtViewSignal *s = ctrl->signalObject();
        connect(s, SIGNAL(haveTerminals()), this, SLOT(showScheme()));
        connect(s, SIGNAL(addTerminal(int)), this, SLOT(addScheme(int)));
        connect(s, SIGNAL(delTerminal(int)), this, SLOT(deleteScheme(int)));
        connect(s, SIGNAL(updateTerminal(int)), this, SLOT(updateScheme(int)));
    }
    connect(ui.fSchNewBtn, SIGNAL(clicked()), this, SLOT(addSchemeClicked()));
    connect(ui.fSchEditBtn, SIGNAL(clicked()), this, SLOT(editSchemeClicked()));
    connect(ui.fTblSchemeList, SIGNAL(cellDoubleClicked(int, int)), this, SLOT(editSchemeClicked()));
    connect(ui.fSchDelBtn, SIGNAL(clicked()), this, SLOT(delSchemeClicked()));
    connect(ui.fSchEnableBtn, SIGNAL(clicked()), this, SLOT(startOrStopSchemeClicked()));
    connect(ui.fTblSchemeList, SIGNAL(cellClicked(int, int)), this, SLOT(showTask()));

    // The list may be held already, or arrive while the request below waits, before
    // the owner has connected to showTaskInfo: show it again once that is done.
    std::list<ZnScheme> held;
    list->requestSchemes(kind, held);
    QMetaObject::invokeMethod(this, "showScheme", Qt::QueuedConnection);
}

QtSchemeInfo::~QtSchemeInfo()
{
    delete view;
}

void QtSchemeInfo::message(const QString &text)
{
    BaseMessageDialog box(ZnTipsInfo::tipsTitleText(), text, 1);
    box.exec();
}

void QtSchemeInfo::showScheme()
{
    std::list<ZnScheme> schemes;
    if (!ZnSchemeList::instance()->requestSchemes(schemeKind, schemes) || schemes.empty()) {
        view->setSchemes(std::list<ZnScheme>());
        emit showTaskInfo(-1);
        return;
    }
    view->setSchemes(schemes);
    ui.fTblSchemeList->setCurrentCell(0, 0);
    emit showTaskInfo(schemes.front().id);
}

void QtSchemeInfo::showTask()
{
    emit showTaskInfo(view->currentId());
}

void QtSchemeInfo::addScheme(int id)
{
    ZnScheme s;
    if (!ZnSchemeList::instance()->findScheme(id, schemeKind, s))
        return;
    if (view->findRow(id) >= 0)
        view->updateScheme(s);
    else
        view->addScheme(s);
}

void QtSchemeInfo::updateScheme(int id)
{
    addScheme(id);
}

void QtSchemeInfo::deleteScheme(int id)
{
    view->removeScheme(id);
}

void QtSchemeInfo::addSchemeClicked()
{
    ZnScheme s;
    s.id = -1;
    s.enable = 1;
    s.type = schemeKind;
    QtSchemePropertyDialog dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    s.name = dialog.name();
    s.comment = dialog.comment();
    if (ZnSchemeList::instance()->addScheme(s, schemeKind) != 0)
        message(QStringLiteral("方案添加失败!"));
}

void QtSchemeInfo::editSchemeClicked()
{
    ZnScheme s;
    const int id = view->currentId();
    if (id < 0 || !ZnSchemeList::instance()->findScheme(id, schemeKind, s))
        return;
    QtSchemePropertyDialog dialog(this);
    dialog.setTexts(s.name, s.comment);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // The plan may have changed while the dialog was open: edit what is stored now,
    // so a field left alone does not undo a push.
    if (!ZnSchemeList::instance()->findScheme(id, schemeKind, s)) {
        message(ZnTipsInfo::recordGoneText());
        return;
    }
    ZnScheme edited(s);
    dialog.writeChanged(edited.name, edited.comment);
    if (edited.name == s.name && edited.comment == s.comment)
        return;
    if (ZnSchemeList::instance()->modifyScheme(edited, schemeKind) != 0)
        message(tr("Plan change failed!"));
}

void QtSchemeInfo::delSchemeClicked()
{
    ZnScheme s;
    const int id = view->currentId();
    if (id < 0 || !ZnSchemeList::instance()->findScheme(id, schemeKind, s))
        return;
    if (id == kDefaultPlan) {
        message(QStringLiteral("默认方案不可以删除！"));
        return;
    }
    BaseMessageDialog ask(ZnTipsInfo::tipsTitleText(), QStringLiteral("确认删除方案？"), 1);
    if (ask.exec() != 1)
        return;
    // Deleted meanwhile (a push while the question was open): nothing is left to do.
    if (!ZnSchemeList::instance()->findScheme(id, schemeKind, s))
        return;
    switch (ZnSchemeList::instance()->deleteScheme(s, schemeKind)) {
    case 0:
        view->removeScheme(id);
        showTask();
        break;
    case 1:
        message(QStringLiteral("删除方案失败，如有任务请先删除!"));
        break;
    case 3:
        message(QStringLiteral("等待超时!"));
        break;
    default:
        message(ZnTipsInfo::deleteFailedText());
        break;
    }
}

void QtSchemeInfo::startOrStopSchemeClicked()
{
    ZnScheme s;
    const int id = view->currentId();
    if (id < 0 || !ZnSchemeList::instance()->findScheme(id, schemeKind, s))
        return;
    if (ZnSchemeList::instance()->toggleScheme(s, schemeKind) != 0)
        message(tr("Plan change failed!"));
}
