#pragma once

#include <vector>

// One page or dialog as the operator first sees it, with the Chinese translation
// loaded. `open` is the way there: a page (or window) name, then " > " and each
// step in turn: "TABLE#ROW" clicks that row of a table or list, "BUTTON" clicks a
// button and goes into the window it opens, "TABLE##ROW,COLUMN" double-clicks a
// cell and goes into the window that opens, "call:SLOT" runs a slot that has no
// button. Each entry of `reads` is "KEY: READING" as SightReader reads it, where
// KEY is an object name, "window" or "focus"; "!KEY" is a widget not shown; and
// "?STEPS: BOX" is the message box those steps open, as SightReader::box reads it
// ("title | text | buttons"). Every widget that shows text must have its entry,
// but in a row with the entry "...": Qt's own file choosers, of which only the
// title is the console's.
struct Sight
{
    const char *tag;
    const char *open;
    std::vector<const char *> reads;
};

// The rows, by the part of the console they belong to.
extern const std::vector<Sight> kShellSights;
extern const std::vector<Sight> kTerminalSights;
extern const std::vector<Sight> kTaskSights;
extern const std::vector<Sight> kMediaAndLogSights;
