// `vantrel status --json` writes names, paths and connect strings taken from a front end, which
// are arbitrary bytes. Whatever they hold, the document must parse as JSON (RFC 8259, strings in
// valid UTF-8), or the scripts reading it break on a hostile file name.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/FuzzInput.h"
#include "host/StatusReport.h"

namespace {

// A strict JSON reader that only answers whether text is one valid document.
class JsonCheck {
 public:
  explicit JsonCheck(const std::string& text) : s_(text) {}
  bool valid() {
    skipBlanks();
    if (!value(0))
      return false;
    skipBlanks();
    return i_ == s_.size();
  }

 private:
  bool value(int depth) {
    if (depth > 64 || i_ >= s_.size())
      return false;
    switch (s_[i_]) {
      case '{':
        return container(depth, '}', true);
      case '[':
        return container(depth, ']', false);
      case '"':
        return string();
      case 't':
        return word("true");
      case 'f':
        return word("false");
      case 'n':
        return word("null");
      default:
        return number();
    }
  }
  bool container(int depth, char close, bool object) {
    ++i_;
    skipBlanks();
    if (peek(close))
      return ++i_, true;
    for (;;) {
      skipBlanks();
      if (object) {
        if (!peek('"') || !string())
          return false;
        skipBlanks();
        if (!peek(':'))
          return false;
        ++i_;
        skipBlanks();
      }
      if (!value(depth + 1))
        return false;
      skipBlanks();
      if (peek(close))
        return ++i_, true;
      if (!peek(','))
        return false;
      ++i_;
    }
  }
  bool string() {
    ++i_;
    while (i_ < s_.size()) {
      const auto c = static_cast<unsigned char>(s_[i_]);
      if (c == '"')
        return ++i_, true;
      if (c < 0x20)
        return false;
      if (c == '\\') {
        if (++i_ >= s_.size())
          return false;
        const char e = s_[i_];
        if (e == 'u') {
          for (int k = 1; k <= 4; ++k) {
            if (i_ + k >= s_.size() || !std::isxdigit(static_cast<unsigned char>(s_[i_ + k])))
              return false;
          }
          i_ += 5;
        } else if (std::string_view("\"\\/bfnrt").find(e) != std::string_view::npos) {
          ++i_;
        } else {
          return false;
        }
      } else if (!utf8()) {
        return false;
      }
    }
    return false;
  }
  // One UTF-8 sequence: shortest form, no surrogates, at most U+10FFFF.
  bool utf8() {
    const auto c = static_cast<unsigned char>(s_[i_]);
    int length = 0;
    unsigned code = 0;
    if (c < 0x80)
      return ++i_, true;
    if (c >= 0xc2 && c <= 0xdf)
      length = 2, code = c & 0x1f;
    else if (c >= 0xe0 && c <= 0xef)
      length = 3, code = c & 0x0f;
    else if (c >= 0xf0 && c <= 0xf4)
      length = 4, code = c & 0x07;
    else
      return false;
    if (i_ + length > s_.size())
      return false;
    for (int k = 1; k < length; ++k) {
      const auto t = static_cast<unsigned char>(s_[i_ + k]);
      if ((t & 0xc0) != 0x80)
        return false;
      code = code << 6 | (t & 0x3f);
    }
    if ((length == 3 && code < 0x800) || (length == 4 && code < 0x10000) || code > 0x10ffff ||
        (code >= 0xd800 && code <= 0xdfff))
      return false;
    i_ += length;
    return true;
  }
  bool number() {
    const std::size_t start = i_;
    if (peek('-'))
      ++i_;
    if (peek('0')) {
      ++i_;
    } else {
      if (!digits())
        return false;
    }
    if (peek('.')) {
      ++i_;
      if (!digits())
        return false;
    }
    if (peek('e') || peek('E')) {
      ++i_;
      if (peek('+') || peek('-'))
        ++i_;
      if (!digits())
        return false;
    }
    return i_ > start;
  }
  bool digits() {
    const std::size_t start = i_;
    while (i_ < s_.size() && s_[i_] >= '0' && s_[i_] <= '9')
      ++i_;
    return i_ > start;
  }
  bool word(std::string_view w) {
    if (s_.compare(i_, w.size(), w) != 0)
      return false;
    i_ += w.size();
    return true;
  }
  bool peek(char c) const { return i_ < s_.size() && s_[i_] == c; }
  void skipBlanks() {
    while (i_ < s_.size() && std::string_view(" \t\r\n").find(s_[i_]) != std::string_view::npos)
      ++i_;
  }

  const std::string& s_;
  std::size_t i_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Field by field: front end, then per set name, description, path, problem, table, connect,
  // then per linked table name, source, connect, error.
  const auto f = fuzz::fields(data, size, 11);
  vantrel::Status status;
  status.frontEnd = f[0];
  status.unfinishedChange = !f[0].empty() && (f[0][0] & 1);
  status.hasLinkSetTables = true;
  vantrel::StatusSet set;
  set.id = static_cast<long long>(f.size()) - 6;
  set.name = f[1];
  set.description = f[2];
  set.frontEndPath = f[3];
  set.problem = f[4];
  if (!f[4].empty())
    set.active = std::nullopt;
  set.links.push_back({f[5], f[6]});
  status.sets.push_back(set);
  for (std::size_t i = 7; i + 4 <= f.size(); i += 4)
    status.linkedTables.push_back({f[i], f[i + 1], f[i + 2], (f.size() & 1) != 0, f[i + 3]});
  const std::string json = vantrel::formatStatusJson(status);
  if (!JsonCheck(json).valid())
    fuzz::fail("the status document does not parse", json);
  return 0;
}
