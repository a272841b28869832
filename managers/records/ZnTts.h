#pragma once

#include "ZnBaseTerminal.h"

// A text-to-speech unit (TTS71).
class ZnTts : public ZnBaseTerminal
{
public:
    // One "tts71" row; an empty name becomes the terminalId text.
    // False when the row has no usable "terminalId" (ZnRow::id).
    bool fillFromRow(const ZnRowView& row);

    std::string ver;
    std::string exten;
};
