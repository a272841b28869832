#include "ZnNetLosssHandle.h"

#include "BaseMessageDialog.h"
#include "ZnApi.h"
#include "ZnConflictList.h"
#include "ZnTerminal.h"

#include <QApplication>

#include <atomic>
#include <cstdlib>

namespace {
std::atomic<ZnNetLosssHandle *> gHandle{nullptr};
} // namespace

ZnNetLosssHandle::ZnNetLosssHandle(ZnManageCenter *centre) : centre(centre)
{
    connect(this, SIGNAL(netloss_signal()), this, SLOT(slot_netloss()));
    connect(this, SIGNAL(device_conflict_signal(QString)), this, SLOT(slot_device_conflict(QString)));
}

ZnNetLosssHandle *ZnNetLosssHandle::create(ZnManageCenter *centre)
{
    if (gHandle)
        return gHandle;
    gHandle = new ZnNetLosssHandle(centre);
    apiSetLossCallback(centre, &ZnNetLosssHandle::onNetLoss);
    apiSetConflictCallback(centre, &ZnNetLosssHandle::onDeviceConflict, 0);
    return gHandle;
}

ZnNetLosssHandle *ZnNetLosssHandle::instance()
{
    return gHandle;
}

void ZnNetLosssHandle::onNetLoss()
{
    if (ZnNetLosssHandle *h = gHandle)
        emit h->netloss_signal();
}

void ZnNetLosssHandle::onDeviceConflict(int, const char *body)
{
    if (ZnNetLosssHandle *h = gHandle)
        emit h->device_conflict_signal(QString::fromUtf8(body ? body : ""));
}

std::unique_ptr<QList<ZnTerminal>> ZnNetLosssHandle::parseConflictList(const std::string &body)
{
    std::vector<ZnTerminal> terminals;
    if (!ZnConflictList::parse(body, terminals))
        return nullptr;
    return std::make_unique<QList<ZnTerminal>>(terminals.begin(), terminals.end());
}

QString ZnNetLosssHandle::conflictText(const QList<ZnTerminal> &terminals)
{
    QString text = QStringLiteral("\r\n");
    for (const ZnTerminal &t : terminals)
        text += QStringLiteral("  ID:") + QString::number(t.id) + QStringLiteral(" Name:")
                + QString::fromUtf8(t.name.c_str()) + QStringLiteral(" IP:") + QString::fromUtf8(t.ip.c_str())
                + QStringLiteral("\r\n");
    return QStringLiteral("设备ID冲突，请重新设置!\r\n") + text;
}

void ZnNetLosssHandle::slot_netloss()
{
    BaseMessageDialog box(QStringLiteral("提示"), QStringLiteral("连接超时，请重新登陆!"), 1);
    box.exec();
    QApplication::closeAllWindows();
}

void ZnNetLosssHandle::slot_device_conflict(QString body)
{
    if (showingConflict)
        return;
    // A body that is not a list of terminals shows nothing.
    const std::unique_ptr<QList<ZnTerminal>> list = parseConflictList(body.toUtf8().toStdString());
    if (!list)
        return;
    showingConflict = true;
    BaseMessageDialog box(QStringLiteral("提示"), conflictText(*list), 1);
    box.exec();
    showingConflict = false;
}
