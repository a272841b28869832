#pragma once

#include <QString>

class QLabel;
class QWidget;

// Texts from the server (names, titles) have no length bound: what is shown of
// them is. A window's size never follows such a text.
namespace ZnServerText {

// Characters shown of one text at most; a longer one ends in an ellipsis.
constexpr int kMaxShown = 128;
// What a tool tip shows at most: a tip is a window of its own. Characters, line
// breaks, and characters in one run without a blank before a break is made.
constexpr int kMaxTipShown = 640;
constexpr int kMaxTipLines = 16;
constexpr int kMaxTipRun = 40;

// The text, cut after kMaxShown characters with an ellipsis.
QString bounded(const QString &text);

// Shows the text in the label as plain text, no wider than maxWidth pixels,
// elided at the right, so neither the label nor its window grows with it. A text
// that is cut is the label's tool tip.
void showInLabel(QLabel *label, const QString &text, int maxWidth);

// Shows the text in the label as showInLabel does, elided to width pixels,
// leaving the label's own width as it is.
void showElided(QLabel *label, const QString &text, int width);

// A window title of the server's: the window's title bounded, the title label
// as showInLabel shows it.
void showTitle(QWidget *window, QLabel *label, const QString &text, int maxWidth);

// What a word-wrapped label shows of a text at most: lines, and characters in one.
constexpr int kMaxWrappedLines = 4;
constexpr int kMaxWrappedLine = 256;

// Shows the text in the label as plain text, word-wrapped, within the bounds
// above and with an invisible break after kMaxTipRun characters that offer no
// other: the label's width and height never follow the text. A text that is cut
// is the label's tool tip.
void showWrapped(QLabel *label, const QString &text);

// The text as a tool tip shows it, character for character up to the bounds
// above (then an ellipsis), with an invisible break after kMaxTipRun characters
// that offer no other. A tool tip takes
// whatever looks like markup as HTML (and loads the pictures it names), and has
// no plain-text mode: the text goes in escaped, inside markup of our own.
QString toolTip(const QString &text);

} // namespace ZnServerText
