#include "ZnSetCapDialog.h"

#include "BaseMessageDialog.h"
#include "ZnCap.h"
#include "ZnCapListMgr.h"
#include "ZnTipsInfo.h"

ZnSetCapDialog::ZnSetCapDialog()
{
    ui.setupUi(this);
    setMouseTracking(true);
    ui.iconLabel->setPixmap(QPixmap(QStringLiteral(":/images/edit20x20.png")));
    setWindowIcon(QIcon(QStringLiteral(":/images/edit20x20.png")));
    setWindowTitle(ZnTipsInfo::setNameText());
    ui.titleNameLabel->setText(ZnTipsInfo::setNameText());
    ui.dialogCloseBtn->setFixedSize(23, 25);
    ui.fCancelBtn->setFixedSize(75, 23);
    ui.fOkBtn->setFixedSize(75, 23);
    connect(ui.fCapVolSlider, &QSlider::valueChanged, ui.fCapVolSpinBox, &QSpinBox::setValue);
    connect(ui.fCapVolSpinBox, QOverload<int>::of(&QSpinBox::valueChanged), ui.fCapVolSlider, &QSlider::setValue);
    connect(ui.fOkBtn, &QPushButton::clicked, this, &ZnSetCapDialog::accept);
    connect(ui.fCancelBtn, &QPushButton::clicked, this, &ZnSetCapDialog::reject);
    connect(ui.dialogCloseBtn, &QPushButton::clicked, this, &ZnSetCapDialog::reject);
}

void ZnSetCapDialog::setCap(ZnCap *c)
{
    cap = c;
    if (!cap)
        return;
    ui.fNameEdit->setText(QString::fromLocal8Bit(cap->name.c_str()));
    ui.fCapVolSlider->setValue(cap->capVol);
    ui.fCapVolSpinBox->setValue(cap->capVol);
    // Any rate but the three shows no button checked.
    if (cap->capSamplerate == 16000)
        ui.fNormalQualityRBtn->setChecked(true);
    else if (cap->capSamplerate == 24000)
        ui.fMediumQualityRBtn->setChecked(true);
    else if (cap->capSamplerate == 32000)
        ui.fHighQualityRBtn->setChecked(true);
    // A unit on air keeps its rate.
    const bool broadcasting = cap->status == 2;
    for (QRadioButton *b : {ui.fNormalQualityRBtn, ui.fMediumQualityRBtn, ui.fHighQualityRBtn})
        b->setEnabled(!broadcasting);
    opened.note({ui.fNameEdit, ui.fCapVolSpinBox, ui.fNormalQualityRBtn, ui.fMediumQualityRBtn, ui.fHighQualityRBtn});
}

void ZnSetCapDialog::accept()
{
    const QString name = ui.fNameEdit->text();
    if (name.isEmpty()) {
        BaseMessageDialog box(ZnTipsInfo::tipsTitleText(), tr("The name cannot be empty"), 1);
        box.exec();
        return;
    }
    if (cap) {
        // Fields left alone send what the model holds now: a push while the dialog
        // was open must not be undone by OK.
        gCapList.findCap(cap->id, *cap);
        // A field left as it opened keeps the stored value (a volume beyond the box).
        opened.write(ui.fNameEdit, cap->name, name.toLocal8Bit().toStdString());
        opened.write(ui.fCapVolSpinBox, cap->capVol, ui.fCapVolSpinBox->value());
        // No button checked, or none changed: the unit keeps the rate it has.
        if (opened.changed({ui.fNormalQualityRBtn, ui.fMediumQualityRBtn, ui.fHighQualityRBtn})) {
            if (ui.fNormalQualityRBtn->isChecked())
                cap->capSamplerate = 16000;
            else if (ui.fMediumQualityRBtn->isChecked())
                cap->capSamplerate = 24000;
            else if (ui.fHighQualityRBtn->isChecked())
                cap->capSamplerate = 32000;
        }
    }
    QDialog::accept();
}
