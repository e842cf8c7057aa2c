// What the end-to-end tests of the vantrel program share: running the built program with a
// console script on stdin, building demos through it, reading its JSON status report, and the
// shape of a refusal (exit status 2, one line on stderr, nothing on stdout).
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/Fixtures.h"
#include "tests/support/JsonReader.h"

namespace clitest {

struct Result {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// Runs the built program with args and input on stdin, in folder cwd ("" keeps the test's).
// The environment is the test's without DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM, so no
// window can open behind the test's back, plus env ("NAME=value"). A run that hangs is killed
// after two minutes (exit status 137), so it fails its test instead of the whole suite.
Result run(const std::vector<std::string>& args, const std::string& input = "",
           const std::vector<std::string>& env = {}, const std::string& cwd = "");

// Runs `vantrel demo DIR --scenario scenario` and returns the front end's path.
std::string buildDemo(const std::string& dir, const std::string& scenario);

// The status document flattened to path -> value (tests/support/JsonReader.h).
using Flat = testsupport::FlatJson;
using testsupport::parseJson;

// Adds a set named name holding the front end's links, recording the front end where it is.
void addSetOfCurrentLinks(const std::string& frontEnd, const std::string& name, bool active);

// `vantrel status --json FRONTEND`, flattened. Fails the test when the program or the JSON does.
Flat statusJson(const std::string& frontEnd);

// A field of the linked table of that name in a flattened status report.
std::string linked(const Flat& status, const std::string& table, const std::string& field);

// Every file under dir with its size and a hash of its bytes, one a line: equal listings mean
// nothing was created, removed or changed.
std::string treeSnapshot(const std::string& dir);

// The shape every usage or fatal error must have; stderr must contain mention.
::testing::AssertionResult failedWithOneLine(const Result& result, const std::string& mention);

}  // namespace clitest
