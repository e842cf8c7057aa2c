#include "host/Json.h"

#include <cstdio>

#include "uikit/printable.h"

namespace vantrel {

std::string jsonQuote(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  out += '"';
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 0x80) {
      char32_t code = 0;
      const size_t length = uikit::utf8SequenceAt(text, i, code);
      if (length == 0) {
        out += "\\ufffd";
        ++i;
        continue;
      }
      // C1 controls and the line and paragraph separators are valid in JSON text, but a reader
      // splitting the output into lines would take them for line ends.
      if (code <= 0x9F || code == 0x2028 || code == 0x2029) {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(code));
        out += escaped;
      } else {
        out.append(text.substr(i, length));
      }
      i += length;
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
