#include "tests/cli/JsonReader.h"

#include <cstdlib>
#include <stdexcept>

namespace clitest {

const Json& Json::operator[](const std::string& name) const {
  if (type != Type::Object)
    throw std::out_of_range("not an object: " + name);
  return members.at(name);
}

const Json& Json::operator[](size_t index) const {
  if (type != Type::Array)
    throw std::out_of_range("not an array");
  return items.at(index);
}

namespace {

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  Json document() {
    Json value = parseValue();
    skipSpace();
    if (pos_ != text_.size())
      fail("text after the document");
    return value;
  }

 private:
  [[noreturn]] void fail(const std::string& what) {
    throw std::runtime_error("JSON: " + what + " at offset " + std::to_string(pos_));
  }

  void skipSpace() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\n' ||
                                   text_[pos_] == '\r' || text_[pos_] == '\t')) {
      ++pos_;
    }
  }

  bool consume(std::string_view word) {
    if (text_.substr(pos_, word.size()) != word)
      return false;
    pos_ += word.size();
    return true;
  }

  void expect(char c) {
    skipSpace();
    if (pos_ >= text_.size() || text_[pos_] != c)
      fail(std::string("expected '") + c + "'");
    ++pos_;
  }

  Json parseValue() {
    skipSpace();
    if (pos_ >= text_.size())
      fail("unexpected end");
    Json value;
    const char c = text_[pos_];
    if (c == '{') {
      value.type = Json::Type::Object;
      ++pos_;
      skipSpace();
      if (consume("}"))
        return value;
      do {
        skipSpace();
        std::string name = parseString();
        expect(':');
        if (!value.members.emplace(name, parseValue()).second)
          fail("duplicate key " + name);
        skipSpace();
      } while (consume(","));
      expect('}');
    } else if (c == '[') {
      value.type = Json::Type::Array;
      ++pos_;
      skipSpace();
      if (consume("]"))
        return value;
      do {
        value.items.push_back(parseValue());
        skipSpace();
      } while (consume(","));
      expect(']');
    } else if (c == '"') {
      value.type = Json::Type::String;
      value.text = parseString();
    } else if (consume("true")) {
      value.type = Json::Type::Bool;
      value.boolean = true;
    } else if (consume("false")) {
      value.type = Json::Type::Bool;
    } else if (consume("null")) {
      value.type = Json::Type::Null;
    } else if (c == '-' || (c >= '0' && c <= '9')) {
      const size_t start = pos_;
      if (text_[pos_] == '-')
        ++pos_;
      while (pos_ < text_.size() &&
             std::string_view("0123456789.eE+-").find(text_[pos_]) != std::string_view::npos) {
        ++pos_;
      }
      value.type = Json::Type::Number;
      value.number = std::strtod(std::string(text_.substr(start, pos_ - start)).c_str(), nullptr);
    } else {
      fail("unexpected character");
    }
    return value;
  }

  unsigned hex4() {
    if (pos_ + 4 > text_.size())
      fail("short \\u escape");
    unsigned v = 0;
    for (int i = 0; i < 4; ++i) {
      const char h = text_[pos_++];
      v <<= 4;
      if (h >= '0' && h <= '9') {
        v |= static_cast<unsigned>(h - '0');
      } else if (h >= 'a' && h <= 'f') {
        v |= static_cast<unsigned>(h - 'a' + 10);
      } else if (h >= 'A' && h <= 'F') {
        v |= static_cast<unsigned>(h - 'A' + 10);
      } else {
        fail("bad hex digit");
      }
    }
    return v;
  }

  static void appendUtf8(std::string& out, unsigned cp) {
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }

  std::string parseString() {
    if (pos_ >= text_.size() || text_[pos_] != '"')
      fail("expected a string");
    ++pos_;
    std::string out;
    for (;;) {
      if (pos_ >= text_.size())
        fail("unterminated string");
      const unsigned char c = static_cast<unsigned char>(text_[pos_++]);
      if (c == '"')
        return out;
      if (c < 0x20)
        fail("raw control character in a string");
      if (c != '\\') {
        out += static_cast<char>(c);
        continue;
      }
      if (pos_ >= text_.size())
        fail("unterminated escape");
      const char e = text_[pos_++];
      switch (e) {
        case '"':
        case '\\':
        case '/':
          out += e;
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        case 'u': {
          unsigned cp = hex4();
          if (cp >= 0xD800 && cp <= 0xDBFF) {
            if (!consume("\\u"))
              fail("lone high surrogate");
            const unsigned low = hex4();
            if (low < 0xDC00 || low > 0xDFFF)
              fail("bad low surrogate");
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
          } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
            fail("lone low surrogate");
          }
          appendUtf8(out, cp);
          break;
        }
        default:
          fail("bad escape");
      }
    }
  }

  std::string_view text_;
  size_t pos_ = 0;
};

}  // namespace

Json parseJson(std::string_view text) {
  return Reader(text).document();
}

}  // namespace clitest
