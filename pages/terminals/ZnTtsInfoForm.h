#pragma once

#include <QWidget>

// Page of the TTS units; holds its place in the main window's page stack.
class ZnTtsInfoForm : public QWidget
{
    Q_OBJECT
public:
    ZnTtsInfoForm();
};
