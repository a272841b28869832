#pragma once

#include <QString>

class QSlider;

// The one look of the pages' horizontal volume sliders: a rounded groove, the
// filled part in its own colour and a round handle.
void setSliderStyleSheet(QSlider *slider, QString grooveColor, QString subPageColor, QString handleColor);
