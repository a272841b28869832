#include "ZnBaseDialog.h"

#include "ZnTitleMoveEvent.h"

ZnBaseDialog::ZnBaseDialog(QWidget *parent) : QDialog(parent)
{
    setWindowFlags(Qt::FramelessWindowHint);
    baseUi.setupUi(this);
    central.setGeometry(0, 0, 1024, 900);
    baseUi.fLayoutCenter->addWidget(&central);
    connect(baseUi.fBtnClosed, &QPushButton::clicked, this, &QDialog::reject);
    titleMove = new ZnTitleMoveEvent(this, baseUi.fGrpHeader);
    baseUi.fGrpHeader->installEventFilter(titleMove);
}

ZnBaseDialog::~ZnBaseDialog()
{
    baseUi.fGrpHeader->removeEventFilter(titleMove);
    delete titleMove;
    // The layout made the central widget our child; take it back before the
    // member is destroyed so it is not deleted twice.
    central.setParent(nullptr);
}
