// What the end-to-end tests of the vantrel program share: building demos through the program
// itself, reading its status report, finding rows in a console screen, and checking the shape of
// a failure (exit status 2, one line on stderr, nothing on stdout).
#pragma once

#include <string>

#include <gtest/gtest.h>

#include "tests/cli/JsonReader.h"
#include "tests/cli/Process.h"
#include "tests/support/Fixtures.h"

namespace clitest {

// Runs `vantrel demo DIR --scenario scenario` and returns the front end's path.
std::string buildDemo(const std::string& dir, const std::string& scenario);

// `vantrel status --json FRONTEND`, parsed. Fails the test when the program does.
Json statusJson(const std::string& frontEnd);

// The linked table of that name in a status report (fails the test when missing).
const Json& linkedTable(const Json& status, const std::string& name);

// The row index of the first row of list control `list` whose text contains needle, as the
// console driver prints it on screen; -1 when there is none.
int listRow(const std::string& screen, const std::string& list, const std::string& needle);

// Every file under dir with its size and bytes' hash, one a line: equal listings mean nothing
// was created, removed or changed.
std::string treeSnapshot(const std::string& dir);

// The failure shape every usage or fatal error must have.
::testing::AssertionResult failedWithOneLine(const Result& result, const std::string& mention);

}  // namespace clitest
