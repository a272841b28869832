#include "ZnSliderStyle.h"

#include <QSlider>

void setSliderStyleSheet(QSlider *slider, QString grooveColor, QString subPageColor, QString handleColor)
{
    if (!slider)
        return;
    const QString groove =
        QStringLiteral(
            "QSlider::groove:horizontal,QSlider::add-page:horizontal{height:%2px;border-radius:%3px;background:%1;}")
            .arg(grooveColor)
            .arg(8)
            .arg(4);
    const QString subPage =
        QStringLiteral("QSlider::sub-page:horizontal{height:%2px;border-radius:%3px;background:%1;}")
            .arg(subPageColor)
            .arg(8)
            .arg(4);
    const QString handle =
        QStringLiteral("QSlider::handle:horizontal{width:%2px;margin-top:-%3px;margin-bottom:-%3px;border-radius:%4px;"
                       "background:qradialgradient(spread:pad,cx:0.5,cy:0.5,radius:0.5,fx:0.5,fy:0.5,stop:0.6 #FFFFFF,"
                       "stop:0.8 %1);}")
            .arg(handleColor)
            .arg(13)
            .arg(3)
            .arg(6);
    slider->setStyleSheet(groove + subPage + handle);
}
