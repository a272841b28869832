#include "ZnNetLosssHandle.h"

#include "BaseMessageDialog.h"
#include "ZnApi.h"
#include "ZnRow.h"
#include "ZnTerminal.h"

#include <QApplication>
#include <json/json.h>

#include <atomic>
#include <cstdlib>

namespace {
std::atomic<ZnNetLosssHandle *> gHandle{nullptr};

// Member text of a conflict element; numbers and booleans as written, anything
// else (missing, object, array) as empty text.
std::string memberText(const Json::Value &element, const char *name)
{
    const Json::Value &v = element[name];
    if (v.isString() || v.isNumeric() || v.isBool())
        return v.asString();
    return std::string();
}
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
    Json::Value root;
    if (!ZnRow::parse(body, root) || !root.isArray())
        return nullptr;
    auto list = std::make_unique<QList<ZnTerminal>>();
    for (const Json::Value &element : root) {
        if (!element.isObject())
            continue;
        ZnTerminal t;
        const std::string id = memberText(element, "terminalId");
        t.id = ZnRow::atoi(id);
        t.name = memberText(element, "name");
        if (t.name.empty())
            t.name = id;
        t.type = memberText(element, "type");
        t.ip = memberText(element, "ip");
        list->append(t);
    }
    return list;
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
