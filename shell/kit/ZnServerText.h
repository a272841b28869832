#pragma once

#include <QString>

class QLabel;

// Texts from the server (names, titles) have no length bound: what is shown of
// them is. A window's size never follows such a text.
namespace ZnServerText {

// Characters shown of one text at most; a longer one ends in an ellipsis.
constexpr int kMaxShown = 128;

// The text, cut after kMaxShown characters with an ellipsis.
QString bounded(const QString &text);

// Shows the text in the label as plain text, no wider than maxWidth pixels,
// elided at the right, so neither the label nor its window grows with it.
void showInLabel(QLabel *label, const QString &text, int maxWidth);

// The text as a tool tip shows it, character for character. A tool tip takes
// whatever looks like markup as HTML (and loads the pictures it names), and has
// no plain-text mode: the text goes in escaped, inside markup of our own.
QString toolTip(const QString &text);

} // namespace ZnServerText
