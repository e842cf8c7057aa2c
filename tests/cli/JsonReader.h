// A strict JSON reader for the tests: `vantrel status --json` must produce a document any JSON
// parser accepts, so the tests parse it properly instead of searching its text, and a malformed
// document (a missing comma, a bad escape, a raw control character) fails them.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace clitest {

struct Json {
  enum class Type { Null, Bool, Number, String, Array, Object };
  Type type = Type::Null;
  bool boolean = false;
  double number = 0;
  std::string text;
  std::vector<Json> items;
  std::map<std::string, Json> members;

  // Member by name; throws std::out_of_range when missing or not an object.
  const Json& operator[](const std::string& name) const;
  const Json& operator[](size_t index) const;
  size_t size() const { return type == Type::Array ? items.size() : members.size(); }
};

// Parses a whole document (surrounding white space allowed). Throws std::runtime_error with the
// offset of the first fault.
Json parseJson(std::string_view text);

}  // namespace clitest
