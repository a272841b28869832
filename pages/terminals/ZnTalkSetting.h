#pragma once

#include <QList>

#include <string>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSlider;
class QSpinBox;
class ZnMic;
class ZnOpenedFields;

// What the D72 and D74 setting dialogs share: the name and the four volumes,
// and the call lists of a key (call-service groups, server microphones, D82
// consoles) with the id of each entry as its item data.
namespace ZnTalkSetting {

// Shows the value on both (range 0 to 100).
void showVolume(QSlider *slider, QSpinBox *spin, int value);
// Keeps the slider and its spin box in step, both ways.
void linkVolume(QSlider *slider, QSpinBox *spin);

// Notes what the fields show into opened.
template <class Form>
void loadBase(Form &ui, const ZnMic &mic, ZnOpenedFields &opened);
// Links each of the four volume sliders to its spin box.
template <class Form>
void linkVolumes(Form &ui);
// False, and nothing written, for an empty name. A field left as it opened keeps
// the stored value, which it may not be able to show (a volume beyond 0 to 100).
template <class Form>
bool saveBase(Form &ui, ZnMic &mic, const ZnOpenedFields &opened);

void fillGroups(const QList<QComboBox *> &lists);
void fillServerMics(const QList<QComboBox *> &lists);
void fillD82(const QList<QComboBox *> &lists);
// Selects the entry with that id; false, and nothing selected, when there is none.
bool selectId(QComboBox *list, int id);
// The id of the list's current entry when the box is checked, else 0.
int chosenId(const QCheckBox *box, const QComboBox *list);

void setName(QLineEdit *edit, const std::string &name);
// False for an empty text.
bool takeName(const QLineEdit *edit, std::string &name);

} // namespace ZnTalkSetting

#include "ZnMic.h"
#include "ZnOpenedFields.h"

#include <QSpinBox>

template <class Form>
void ZnTalkSetting::loadBase(Form &ui, const ZnMic &mic, ZnOpenedFields &opened)
{
    setName(ui.fNameEdit, mic.name);
    showVolume(ui.fCapSlider, ui.fCapSpinBox, mic.capVol);
    showVolume(ui.fTalkSlider, ui.fTalkSpinBox, mic.callVol);
    showVolume(ui.fRingSlider, ui.fRingSpinBox, mic.bellVol);
    showVolume(ui.fBcastSlider, ui.fBcastSpinBox, mic.broVol);
    opened.note({ui.fNameEdit, ui.fCapSpinBox, ui.fTalkSpinBox, ui.fRingSpinBox, ui.fBcastSpinBox});
}

template <class Form>
void ZnTalkSetting::linkVolumes(Form &ui)
{
    linkVolume(ui.fCapSlider, ui.fCapSpinBox);
    linkVolume(ui.fTalkSlider, ui.fTalkSpinBox);
    linkVolume(ui.fRingSlider, ui.fRingSpinBox);
    linkVolume(ui.fBcastSlider, ui.fBcastSpinBox);
}

template <class Form>
bool ZnTalkSetting::saveBase(Form &ui, ZnMic &mic, const ZnOpenedFields &opened)
{
    std::string name;
    if (!takeName(ui.fNameEdit, name))
        return false;
    opened.write(ui.fNameEdit, mic.name, name);
    opened.write(ui.fCapSpinBox, mic.capVol, ui.fCapSpinBox->value());
    opened.write(ui.fTalkSpinBox, mic.callVol, ui.fTalkSpinBox->value());
    opened.write(ui.fRingSpinBox, mic.bellVol, ui.fRingSpinBox->value());
    opened.write(ui.fBcastSpinBox, mic.broVol, ui.fBcastSpinBox->value());
    return true;
}
