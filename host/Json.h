// A small JSON writer for the status report (`vantrel status --json`, orvanta_status_json):
// objects, arrays, strings, Booleans and integers, pretty-printed with two-space indents. Strings
// are escaped so that any file name yields valid JSON: quotes, backslashes and control characters
// are escaped, and bytes that are not valid UTF-8 (file names on POSIX systems are arbitrary bytes)
// become U+FFFD.
//
// The writer trusts its caller to nest calls properly (every begin has its end, a key before
// each value inside an object); it is not a general-purpose library.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

// text as a JSON string literal, quotes included: controls (C1 and U+2028/U+2029 too) escaped,
// bytes that are not UTF-8 written as U+FFFD.
std::string jsonQuote(std::string_view text);

class JsonWriter {
 public:
  void beginObject();
  void endObject();
  void beginArray();
  void endArray();
  // The name of the next member of the enclosing object.
  void key(std::string_view name);

  void value(std::string_view text);
  void value(const char* text) { value(std::string_view(text)); }
  void value(const std::string& text) { value(std::string_view(text)); }
  void value(bool b);
  void value(long long n);
  void value(int n) { value(static_cast<long long>(n)); }
  void null();

  // A member of the enclosing object: key(name) then value(v).
  template <class T>
  void field(std::string_view name, const T& v) {
    key(name);
    value(v);
  }
  // The same, null when v holds nothing.
  template <class T>
  void field(std::string_view name, const std::optional<T>& v) {
    key(name);
    if (v)
      value(*v);
    else
      null();
  }

  // The document written so far, ending with a line break once the outermost value is closed.
  const std::string& str() const { return out_; }

 private:
  struct Level {
    bool object;
    int members = 0;
  };
  // Separator and indentation before a value or key.
  void beforeItem();
  void open(char bracket, bool object);
  void close(char bracket);
  void newline();

  std::string out_;
  std::vector<Level> stack_;
  bool afterKey_ = false;
};

}  // namespace vantrel
