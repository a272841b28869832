#pragma once

#include "ZnBaseTerminal.h"

// A text-to-speech unit (TTS71).
class ZnTts : public ZnBaseTerminal
{
public:
    // One "tts71" row; an empty name becomes the terminalId text.
    void fillFromRow(const ZnRowView& row);

    std::string ver;
    std::string exten;
};
