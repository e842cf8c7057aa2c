// Text from files and databases (file names, captions built from paths, set names) on its way to
// a terminal or a pipe. Such text may hold anything a file name can: a vertical tab or a line
// separator that a script reading the output line by line takes for a new line, or an escape
// sequence that repaints the terminal. Everything the console driver and the text reports print
// passes through printable(), so no stored text can forge a line of output or reach the
// terminal as a command.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace uikit {

// The text with every character that could end a line or control a terminal written as a
// visible escape; everything else, backslashes included, is kept as it is:
//   CR LF, LF or CR            \n
//   tab                        \t
//   other C0 controls, DEL     \xHH   (\x0b for a vertical tab, \x1b for escape)
//   C1 controls U+0080-U+009F  \u0085 and the like
//   U+2028, U+2029             \u2028, \u2029
//   bytes that are not UTF-8   \xHH, one a byte (\xff)
// The result is valid UTF-8 holding no control character.
std::string printable(std::string_view text);

// The length (1 to 4) of the well-formed UTF-8 sequence at text[i], with its code point in code;
// 0 when the bytes there are not one (a stray byte, an overlong form, a surrogate, a value past
// U+10FFFF, a sequence cut short). Requires i < text.size().
std::size_t utf8SequenceAt(std::string_view text, std::size_t i, char32_t& code);

}  // namespace uikit
