#include "ZnTalkSetting.h"

#include "ZnD82ListMgr.h"
#include "ZnMicGroupListMgr.h"
#include "ZnMicListMgr.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSlider>
#include <QSpinBox>

namespace ZnTalkSetting {

void showVolume(QSlider *slider, QSpinBox *spin, int value)
{
    slider->setRange(0, 100);
    spin->setRange(0, 100);
    slider->setValue(value);
    spin->setValue(value);
}

void linkVolume(QSlider *slider, QSpinBox *spin)
{
    QObject::connect(slider, &QSlider::valueChanged, spin, &QSpinBox::setValue);
    QObject::connect(spin, QOverload<int>::of(&QSpinBox::valueChanged), slider, &QSlider::setValue);
}

namespace {
void append(const QList<QComboBox *> &lists, const std::string &name, int id)
{
    const QString text = QString::fromLocal8Bit(name.data(), int(name.size()));
    for (QComboBox *list : lists)
        list->addItem(text, id);
}
} // namespace

void fillGroups(const QList<QComboBox *> &lists)
{
    for (const ZnMicGroup &group : ZnMicGroupListMgr::instance()->groupList())
        append(lists, group.name, group.groupId);
}

void fillServerMics(const QList<QComboBox *> &lists)
{
    ZnMicListMgr *model = ZnMicListMgr::instance();
    const std::list<ZnMic> *list = model->lock();
    for (const ZnMic &mic : *list)
        append(lists, mic.name, mic.id);
    model->unlock();
}

void fillD82(const QList<QComboBox *> &lists)
{
    ZnD82ListMgr *model = ZnD82ListMgr::instance();
    const std::list<ZnD82> *list = model->lock();
    for (const ZnD82 &device : *list)
        append(lists, device.name, device.id);
    model->unlock();
}

bool selectId(QComboBox *list, int id)
{
    // An id the list does not have leaves nothing chosen: keeping the first
    // entry would send it back as the key's call.
    const int at = list->findData(id);
    list->setCurrentIndex(at);
    return at >= 0;
}

int chosenId(const QCheckBox *box, const QComboBox *list)
{
    if (!box->isChecked() || list->currentIndex() < 0)
        return 0;
    return list->currentData().toInt();
}

void setName(QLineEdit *edit, const std::string &name)
{
    edit->setText(QString::fromLocal8Bit(name.data(), int(name.size())));
}

bool takeName(const QLineEdit *edit, std::string &name)
{
    if (edit->text().isEmpty())
        return false;
    name = edit->text().toLocal8Bit().toStdString();
    return true;
}

} // namespace ZnTalkSetting
