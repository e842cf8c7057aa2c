#include "tests/support/JsonReader.h"

#include <regex>
#include <stdexcept>

namespace testsupport {
namespace {

class Reader {
 public:
  explicit Reader(std::string_view text) : s_(text) {}

  FlatJson document() {
    value("", 0);
    if (next() != '\0')
      fail();
    return std::move(out_);
  }

 private:
  [[noreturn]] void fail() const {
    throw std::runtime_error("malformed JSON at offset " + std::to_string(i_));
  }
  char next() {  // skips white space; '\0' at the end
    while (i_ < s_.size() && std::string_view(" \t\r\n").find(s_[i_]) != std::string_view::npos)
      ++i_;
    return i_ < s_.size() ? s_[i_] : '\0';
  }
  void expect(char c) {
    if (next() != c)
      fail();
    ++i_;
  }

  void value(const std::string& path, int depth) {
    const char c = next();
    if (depth > 64)
      fail();
    if (c == '{' || c == '[') {
      const char close = c == '{' ? '}' : ']';
      ++i_;
      if (next() == close) {
        ++i_;
        out_[path] = c == '{' ? "{}" : "[]";
        return;
      }
      for (int n = 0;; ++n) {
        const std::string key = c == '{' ? string() : std::to_string(n);
        if (c == '{')
          expect(':');
        value(path.empty() ? key : path + "/" + key, depth + 1);
        if (next() != ',')
          break;
        ++i_;
      }
      expect(close);
    } else if (c == '"') {
      out_[path] = string();
    } else {
      static const std::regex scalar(R"(true|false|null|-?(0|[1-9]\d*)(\.\d+)?([eE][+-]?\d+)?)");
      const std::string token(s_.substr(i_, s_.find_first_of(",]} \t\r\n", i_) - i_));
      if (!std::regex_match(token, scalar))
        fail();
      out_[path] = token;
      i_ += token.size();
    }
  }

  std::string string() {
    if (next() != '"')
      fail();
    ++i_;
    std::string text;
    while (i_ < s_.size()) {
      const auto c = static_cast<unsigned char>(s_[i_]);
      if (c == '"') {
        ++i_;
        return text;
      }
      if (c < 0x20)
        fail();
      if (c == '\\') {
        const char e = i_ + 1 < s_.size() ? s_[i_ + 1] : '\0';
        if (e == 'u') {
          static const std::regex hex("[0-9a-fA-F]{4}");
          if (i_ + 6 > s_.size() || !std::regex_match(std::string(s_.substr(i_ + 2, 4)), hex))
            fail();
          text += s_.substr(i_, 6);
          i_ += 6;
          continue;
        }
        const auto at = std::string_view("\"\\/bfnrt").find(e);
        if (e == '\0' || at == std::string_view::npos)
          fail();
        text += "\"\\/\b\f\n\r\t"[at];
        i_ += 2;
        continue;
      }
      const std::size_t n = utf8Length();
      text += s_.substr(i_, n);
      i_ += n;
    }
    fail();
  }

  // The length of the UTF-8 sequence at i_: shortest form, no surrogates, at most U+10FFFF.
  std::size_t utf8Length() const {
    const auto c = static_cast<unsigned char>(s_[i_]);
    std::size_t length = 0;
    unsigned code = 0;
    if (c < 0x80)
      return 1;
    if (c >= 0xc2 && c <= 0xdf)
      length = 2, code = c & 0x1f;
    else if (c >= 0xe0 && c <= 0xef)
      length = 3, code = c & 0x0f;
    else if (c >= 0xf0 && c <= 0xf4)
      length = 4, code = c & 0x07;
    else
      fail();
    if (i_ + length > s_.size())
      fail();
    for (std::size_t k = 1; k < length; ++k) {
      const auto t = static_cast<unsigned char>(s_[i_ + k]);
      if ((t & 0xc0) != 0x80)
        fail();
      code = code << 6 | (t & 0x3f);
    }
    if ((length == 3 && code < 0x800) || (length == 4 && code < 0x10000) || code > 0x10ffff ||
        (code >= 0xd800 && code <= 0xdfff))
      fail();
    return length;
  }

  std::string_view s_;
  std::size_t i_ = 0;
  FlatJson out_;
};

}  // namespace

FlatJson parseJson(std::string_view text) {
  return Reader(text).document();
}

}  // namespace testsupport
