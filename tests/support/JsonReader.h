// A strict reader for the JSON documents the program writes (RFC 8259, strings in valid UTF-8:
// shortest forms, no surrogates, nothing above U+10FFFF), used by the tests that read
// `vantrel status --json` and by the fuzz target that proves the document always parses.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace testsupport {

// Every value of the document by its path ("linkSets/0/name"); strings unescaped but for \u
// escapes, which stay as written; empty containers as "{}" and "[]". Throws std::runtime_error
// naming the offset of the first byte that is not JSON.
using FlatJson = std::map<std::string, std::string>;
FlatJson parseJson(std::string_view text);

}  // namespace testsupport
