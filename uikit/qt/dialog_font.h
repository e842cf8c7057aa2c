// The font the windows are drawn in and the twips-to-pixel scale that goes with it.
//
// The window models were designed in twips for the classic 8-point dialog font (MS Sans Serif at
// 96 dpi, 13 pixels a line), at 15 twips to a pixel. Every caption, label and designed line break
// assumes that font: the wizard's info texts, for one, set 88 to 92 characters of running text on
// each designed line of a 372-pixel box, so the classic font sets running text at about 4 pixels
// a character. Desktops today use larger UI
// fonts (DejaVu Sans 9 or 10, Noto Sans 10), so drawn at 15 twips to a pixel in the desktop's
// font the texts wrap early, get cut off after their designed lines, or lose their ends.
//
// The choice: keep the desktop's own UI font, which the user picked and can read, and scale the
// whole geometry instead. The scale is the larger of the font's average character width over
// running text and its line height, each divided by the classic font's, and never below 1. One
// factor for both directions keeps every window's proportions, its pictures included; a text
// designed to fill its control in the classic font then fills the scaled control in the desktop's
// font. A smaller font (say an 8-point UI font) would keep the windows small but makes texts hard
// to read on today's screens, and most free fonts are still wider than the classic one at 8 points.
//
// Pixels here are device-independent: Qt's high-DPI scaling maps them onto the screen.
#pragma once

#include <QFont>

namespace uikit::qt {

// The classic dialog font's measures the windows were designed for, in pixels at 96 dpi.
// Average advance a character of running English text (kRunningText), with a little room, since
// a designed line may hold wider words than the sample.
inline constexpr double kClassicTextWidth = 3.9;
inline constexpr double kClassicLineHeight = 13.0;

// The font form dialogs and message boxes use: the application's (the desktop's UI font).
QFont dialogFont();

// The sample of running text the average character width is taken over.
inline constexpr const char* kRunningText =
    "One or more of the links defined in your Active Link Set are no longer valid. Click on "
    "items in the list to select the databases you need, then click 'Next' to update the set.";

// Pixels per designed pixel (15 twips) for text drawn in font: at least 1.
double layoutScale(const QFont& font);

}  // namespace uikit::qt
