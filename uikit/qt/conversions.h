// Text and unit conversions between the window models and Qt: twips to pixels, the models'
// CR LF line breaks, "&" access keys on controls Qt gives no mnemonic, and the classic
// open-file filter string. Pure functions, so they are tested without a display.
#pragma once

#include <string>

#include <QString>

namespace uikit::qt {

// 15 twips to a pixel, the models' 96-dpi convention, times scale (see dialog_font.h); rounds to
// the nearest pixel.
int twipsToPixels(int twips, double scale = 1.0);

// Model text (UTF-8, lines broken by "\r\n") as Qt shows it ("\n").
QString displayText(const std::string& text);
// Text a user typed into a multi-line box, back in the models' "\r\n" convention.
std::string modelText(const QString& text);

// The caption without its access-key markers: "&Next" -> "Next", "R&&D" -> "R&D".
std::string stripAccessKeys(const std::string& caption);
// True when the caption marks an access key (an "&" that is not doubled, before a character).
bool hasAccessKey(const std::string& caption);

// The classic filter "Databases|*.mdb;*.accdb|All Files (*.*)|*.*" as Qt's
// "Databases (*.mdb *.accdb);;All Files (*)". A description's own "(...)" is dropped because
// Qt reads the patterns from the last parentheses; "*.*" becomes "*" since on POSIX systems
// "*.*" would hide files without an extension, and the classic "*.*" means "every file".
// filterIndex (1-based) picks the entry returned through selected ("" when out of range).
QString qtFileFilter(const std::string& filter, int filterIndex = 1, QString* selected = nullptr);

}  // namespace uikit::qt
