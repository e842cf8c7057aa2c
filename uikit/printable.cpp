#include "uikit/printable.h"

#include <cstddef>
#include <cstdio>

namespace uikit {
namespace {

std::string hexEscape(const char* form, unsigned value) {
  char text[8];
  std::snprintf(text, sizeof text, form, value);
  return text;
}

bool continuation(unsigned char c) {
  return (c & 0xC0) == 0x80;
}

}  // namespace

std::size_t utf8SequenceAt(std::string_view text, std::size_t i, char32_t& code) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
  const unsigned char lead = byte(0);
  std::size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;  // allowed range of the second byte
  if (lead < 0x80) {
    code = lead;
    return 1;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    code = lead & 0x0F;
    low = lead == 0xE0 ? 0xA0 : 0x80;
    high = lead == 0xED ? 0x9F : 0xBF;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    code = lead & 0x07;
    low = lead == 0xF0 ? 0x90 : 0x80;
    high = lead == 0xF4 ? 0x8F : 0xBF;
  } else {
    return 0;
  }
  if (i + length > text.size() || byte(1) < low || byte(1) > high)
    return 0;
  for (std::size_t k = 1; k < length; ++k) {
    if (!continuation(byte(k)))
      return 0;
    code = (code << 6) | (byte(k) & 0x3F);
  }
  return length;
}

std::string printable(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    char32_t code = 0;
    const std::size_t length = utf8SequenceAt(text, i, code);
    if (length == 0) {
      out += hexEscape("\\x%02x", static_cast<unsigned char>(text[i]));
      ++i;
      continue;
    }
    if (code == '\r' || code == '\n') {
      out += "\\n";
      i += code == '\r' && i + 1 < text.size() && text[i + 1] == '\n' ? 2 : 1;
      continue;
    }
    if (code == '\t') {
      out += "\\t";
    } else if (code < 0x20 || code == 0x7F) {
      out += hexEscape("\\x%02x", static_cast<unsigned>(code));
    } else if ((code >= 0x80 && code <= 0x9F) || code == 0x2028 || code == 0x2029) {
      out += hexEscape("\\u%04x", static_cast<unsigned>(code));
    } else {
      out.append(text.substr(i, length));
    }
    i += length;
  }
  return out;
}

}  // namespace uikit
