#include "tests/cli/CliTestSupport.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <sstream>

namespace fs = std::filesystem;

namespace clitest {

std::string buildDemo(const std::string& dir, const std::string& scenario) {
  const Result result = run({"demo", dir, "--scenario", scenario});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  const fs::path base = fs::path(dir) / (scenario == "moved" ? "Moved/App" : "App");
  return (base / "Front.mdb").string();
}

Json statusJson(const std::string& frontEnd) {
  const Result result = run({"status", "--json", frontEnd});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.err, "");
  try {
    return parseJson(result.out);
  } catch (const std::exception& e) {
    ADD_FAILURE() << e.what() << "\n" << result.out;
    return {};
  }
}

const Json& linkedTable(const Json& status, const std::string& name) {
  for (const Json& table : status["linkedTables"].items) {
    if (table["name"].text == name)
      return table;
  }
  ADD_FAILURE() << "no linked table " << name;
  static const Json none;
  return none;
}

int listRow(const std::string& screen, const std::string& list, const std::string& needle) {
  std::istringstream lines(screen);
  std::string line;
  size_t headerIndent = std::string::npos;
  while (std::getline(lines, line)) {
    const size_t indent = line.find_first_not_of(' ');
    if (indent == std::string::npos)
      continue;
    if (headerIndent == std::string::npos) {
      if (line.compare(indent, list.size() + 6, list + " list ") == 0 ||
          line.substr(indent) == list + " list") {
        headerIndent = indent;
      }
      continue;
    }
    if (indent <= headerIndent)
      break;  // past the list's rows
    std::istringstream row(line);
    int index = -1;
    if (row >> index && line.find(needle) != std::string::npos)
      return index;
  }
  return -1;
}

std::string treeSnapshot(const std::string& dir) {
  std::vector<std::string> entries;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    std::string line = fs::relative(entry.path(), dir).string();
    if (entry.is_regular_file()) {
      const std::string bytes = testsupport::fileBytes(entry.path().string());
      line += " " + std::to_string(bytes.size()) + " " +
              std::to_string(std::hash<std::string>{}(bytes));
    }
    entries.push_back(line);
  }
  std::sort(entries.begin(), entries.end());
  std::string out;
  for (const auto& e : entries)
    out += e + "\n";
  return out;
}

::testing::AssertionResult failedWithOneLine(const Result& result, const std::string& mention) {
  if (result.exitCode != 2) {
    return ::testing::AssertionFailure()
           << "exit status " << result.exitCode << ", expected 2; stderr: " << result.err;
  }
  if (result.err.empty() || result.err.back() != '\n' ||
      std::count(result.err.begin(), result.err.end(), '\n') != 1) {
    return ::testing::AssertionFailure() << "stderr is not one line: [" << result.err << "]";
  }
  if (result.err.rfind("vantrel", 0) != 0) {
    return ::testing::AssertionFailure() << "stderr does not name the program: " << result.err;
  }
  if (result.err.find(mention) == std::string::npos) {
    return ::testing::AssertionFailure() << "stderr lacks \"" << mention << "\": " << result.err;
  }
  if (!result.out.empty()) {
    return ::testing::AssertionFailure() << "stdout not empty: " << result.out;
  }
  return ::testing::AssertionSuccess();
}

}  // namespace clitest
