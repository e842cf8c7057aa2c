#include "tests/cli/CliTestSupport.h"

#include <sys/wait.h>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

namespace fs = std::filesystem;

namespace clitest {

namespace {

std::string shellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text)
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace

Result run(const std::vector<std::string>& args, const std::string& input,
           const std::vector<std::string>& env, const std::string& cwd) {
  testsupport::TempDir io;
  std::ofstream(io.file("in")) << input;
  std::string command = cwd.empty() ? "" : "cd " + shellQuote(cwd) + " && ";
  command += "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM";
  for (const auto& e : env)
    command += " " + shellQuote(e);
  command += " timeout -s KILL 120 " + shellQuote(VANTREL_BINARY);
  for (const auto& a : args)
    command += " " + shellQuote(a);
  command += " <" + shellQuote(io.file("in")) + " >" + shellQuote(io.file("out")) + " 2>" +
             shellQuote(io.file("err"));
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, testsupport::fileBytes(io.file("out")),
          testsupport::fileBytes(io.file("err"))};
}

std::string buildDemo(const std::string& dir, const std::string& scenario) {
  const Result result = run({"demo", dir, "--scenario", scenario});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  const std::string frontEnd =
      (fs::path(dir) / (scenario == "moved" ? "Moved/App" : "App") / "Front.mdb").string();
  // The printed command runs the check on the real front end, quoted for the shell if need be.
  EXPECT_TRUE(result.out.find(" check " + frontEnd + "\n") != std::string::npos ||
              result.out.find(" check " + shellQuote(frontEnd) + "\n") != std::string::npos)
      << result.out;
  return frontEnd;
}

void addSetOfCurrentLinks(const std::string& frontEnd, const std::string& name, bool active) {
  std::vector<testsupport::Link> links;
  for (const auto& def : testsupport::linkedDefs(frontEnd))
    links.push_back({def.name, def.connect.substr(std::string(";DATABASE=").size())});
  testsupport::addLinkSet(frontEnd, name, "", active, links, frontEnd);
}

Flat statusJson(const std::string& frontEnd) {
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

std::string linked(const Flat& status, const std::string& table, const std::string& field) {
  for (int n = 0; status.count("linkedTables/" + std::to_string(n) + "/name"); ++n) {
    const std::string at = "linkedTables/" + std::to_string(n) + "/";
    if (status.at(at + "name") == table)
      return status.count(at + field) ? status.at(at + field) : "(no " + field + ")";
  }
  return "(no linked table " + table + ")";
}

std::string treeSnapshot(const std::string& dir) {
  std::vector<std::string> entries;
  // Links are listed, not followed: a folder may hold a loop of them or a link to a device.
  for (const auto& entry :
       fs::recursive_directory_iterator(dir, fs::directory_options::skip_permission_denied)) {
    std::string line = entry.path().lexically_relative(dir).string();
    if (entry.is_symlink()) {
      line += " -> " + fs::read_symlink(entry.path()).string();
    } else if (entry.is_regular_file()) {
      const std::string bytes = testsupport::fileBytes(entry.path().string());
      line += " " + std::to_string(bytes.size()) + " " +
              std::to_string(std::hash<std::string>{}(bytes));
    }
    entries.push_back(line + "\n");
  }
  std::sort(entries.begin(), entries.end());
  std::string out;
  for (const auto& e : entries)
    out += e;
  return out;
}

::testing::AssertionResult failedWithOneLine(const Result& result, const std::string& mention) {
  const std::string& err = result.err;
  if (result.exitCode == 2 && !err.empty() && err.find('\n') == err.size() - 1 &&
      err.rfind("vantrel", 0) == 0 && err.find(mention) != std::string::npos &&
      result.out.empty()) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure()
         << "wanted exit status 2, nothing on stdout and one line on stderr naming vantrel and \""
         << mention << "\"; got " << result.exitCode << ", stdout [" << result.out << "], stderr ["
         << err << "]";
}

}  // namespace clitest
