#pragma once

#include "ZnKeptEntries.h"

#include <string>
#include <vector>

class QDialog;

// The edit dialogs of records whose every save writes all their members (a
// group's consoles, a region's terminals): while a member is stored by an id
// that is no number the console keeps, the operator is told which, and the
// dialog closes with nothing sent.
class ZnMembersRefusal
{
public:
    // True when the save was held back: the box was shown and editor rejected.
    static bool holdsBack(QDialog *editor, ZnKeptEntries::List list, const std::vector<std::string> &unread);
};
