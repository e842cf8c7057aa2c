#include "cli/Json.h"

#include <cstdio>

namespace vantrel {

namespace {

// Length of the valid UTF-8 sequence starting at text[i], or 0 when the bytes there are not
// one (overlong forms, surrogates and values past U+10FFFF included).
size_t utf8SequenceLength(std::string_view text, size_t i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  size_t length;
  unsigned int codePoint;
  if (lead < 0x80)
    return 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    codePoint = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    codePoint = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    codePoint = lead & 0x07;
  } else {
    return 0;
  }
  if (i + length > text.size())
    return 0;
  for (size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80)
      return 0;
    codePoint = (codePoint << 6) | (byte(i + k) & 0x3F);
  }
  if (length == 3 && (codePoint < 0x800 || (codePoint >= 0xD800 && codePoint <= 0xDFFF)))
    return 0;
  if (length == 4 && (codePoint < 0x10000 || codePoint > 0x10FFFF))
    return 0;
  return length;
}

}  // namespace

std::string jsonQuote(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  out += '"';
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 0x80) {
      const size_t length = utf8SequenceLength(text, i);
      if (length == 0) {
        out += "\\ufffd";
        ++i;
      } else {
        out.append(text.substr(i, length));
        i += length;
      }
      continue;
    }
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\b':
        out += "\\b";
        break;
      case '\f':
        out += "\\f";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20 || c == 0x7F) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
          out += escaped;
        } else {
          out += static_cast<char>(c);
        }
    }
    ++i;
  }
  out += '"';
  return out;
}

void JsonWriter::newline() {
  out_ += '\n';
  out_.append(stack_.size() * 2, ' ');
}

void JsonWriter::beforeItem() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (stack_.empty())
    return;
  if (stack_.back().members++ > 0)
    out_ += ',';
  newline();
}

void JsonWriter::open(char bracket, bool object) {
  beforeItem();
  out_ += bracket;
  stack_.push_back({object});
}

void JsonWriter::close(char bracket) {
  const bool empty = stack_.back().members == 0;
  stack_.pop_back();
  if (!empty)
    newline();
  out_ += bracket;
  if (stack_.empty())
    out_ += '\n';
}

void JsonWriter::beginObject() {
  open('{', true);
}
void JsonWriter::endObject() {
  close('}');
}
void JsonWriter::beginArray() {
  open('[', false);
}
void JsonWriter::endArray() {
  close(']');
}

void JsonWriter::key(std::string_view name) {
  beforeItem();
  out_ += jsonQuote(name);
  out_ += ": ";
  afterKey_ = true;
}

void JsonWriter::value(std::string_view text) {
  beforeItem();
  out_ += jsonQuote(text);
  if (stack_.empty())
    out_ += '\n';
}

void JsonWriter::value(bool b) {
  beforeItem();
  out_ += b ? "true" : "false";
  if (stack_.empty())
    out_ += '\n';
}

void JsonWriter::value(long long n) {
  beforeItem();
  out_ += std::to_string(n);
  if (stack_.empty())
    out_ += '\n';
}

void JsonWriter::null() {
  beforeItem();
  out_ += "null";
  if (stack_.empty())
    out_ += '\n';
}

}  // namespace vantrel
