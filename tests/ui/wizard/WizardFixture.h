// Common ground for the wizard suites: a temporary folder with a front end and its back ends, a
// scripted desktop on which every page, message box and file dialog must be expected, a console
// session for whole walks through the pages, a clean component state and window list around
// each test, and 5 March 2024 for today, the date new sets are described with.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "dao/dao.h"
#include "engine/ComponentState.h"
#include "tests/support/Fixtures.h"
#include "ui/wizard/WizardPage.h"
#include "ui/wizard/frmCreateNewSet.h"
#include "uikit/console/console_desktop.h"
#include "uikit/form.h"
#include "uikit/script/scripted_desktop.h"

namespace orvanta {

namespace script = uikit::script;
using testsupport::Link;
using uikit::Answer;
using Links = std::vector<Link>;

// A page by its class, as the wizard suites' tables name them.
template <class F>
uikit::Form& page() {
  return uikit::form<F>();
}
using PageRef = uikit::Form& (*)();

class WizardTest : public ::testing::Test {
 public:
  void SetUp() override {
    uikit::unloadAllForms();  // also when a test starts over
    dao::SetFaultHook(nullptr);
    ComponentState& s = state() = ComponentState{};
    s.bolAllowSetSwitching = s.bolAllowPathChange = s.bolAllowAddTables = s.bolAllowSetMgmt = true;
    s.defaultsApplied = true;
    frmCreateNewSet::today = [] {
      using namespace std::chrono;
      return year_month_day{year{2024}, March, day{5}};
    };
  }
  // Starts the test over, without the files in app/.
  void restart() {
    std::filesystem::remove_all(dir.file("app"));
    SetUp();
  }
  void TearDown() override {
    frmCreateNewSet::today = realToday;
    uikit::unloadAllForms();
    uikit::FormRegistry::current().collect();
    EXPECT_EQ(desk.leftovers(), "");
    EXPECT_EQ(desk.failure(), "");
  }

  // The front end fe linking feLinks, with the active set "Main" holding setLinks and recording
  // fe as its front end; the component state is what a check leaves behind.
  void buildWorld(const Links& setLinks, const Links& feLinks) {
    testsupport::makeFrontEnd(fe);
    for (const Link& link : feLinks)
      testsupport::linkTable(fe, link.table, link.backEnd);
    testsupport::addLinkSet(fe, "Main", "Main set", true, setLinks, fe);
    ComponentState& s = state();
    s.currentFrontEndPath = s.savedFrontEndPath = s.linkSetDatabasePath = fe;
    s.activeSetName = "Main";
    s.activeSetFound = true;
  }

  // A back end in app/data/ by its file stem, anything else in full after "?".
  std::string stem(const std::string& path) const {
    const std::string data = dir.file("app/data/");
    const bool near = path.starts_with(data) && path.ends_with(".mdb");
    return near ? path.substr(data.size(), path.size() - data.size() - 4) : "?" + path;
  }
  // Everything the wizard may change: the link rows as "<set>.<table>=<back end>", "*" before an
  // active set, then after "|" the front end's linked tables as "<table>=<back end>" (its source
  // table in brackets when that differs). Stored paths are expected behind ";DATABASE=".
  std::string world() const {
    std::set<std::string> active;
    for (const auto& set : testsupport::linkSets(fe)) {
      if (set.active)
        active.insert(set.name);
    }
    const auto where = [&](const std::string& c) {
      return c.starts_with(";DATABASE=") ? stem(c.substr(10)) : "?" + c;
    };
    std::string s;
    for (const auto& r : testsupport::linkRows(fe)) {
      s += (active.count(r.setName) ? "*" : "") + r.setName + "." + r.table + "=" +
           where(r.databasePath) + " ";
    }
    s += "|";
    for (const auto& d : testsupport::linkedDefs(fe))
      s += " " + d.name + "=" + where(d.connect) +
           (d.sourceTable == d.name ? "" : "(" + d.sourceTable + ")");
    return s;
  }
  // The rows of list, top to bottom.
  static std::vector<std::string> texts(const uikit::ListBox& list) {
    std::vector<std::string> rows;
    for (const auto& item : list.items())
      rows.push_back(item.text);
    return rows;
  }
  // What wizard printed at a console fed with input, one command or answer a line.
  static std::string transcript(const std::function<void()>& wizard, const std::string& input) {
    std::istringstream in(input);
    std::ostringstream out;
    uikit::console::ConsoleDesktop console(in, out);
    uikit::ScopedDesktop use(console);
    wizard();
    return out.str();
  }
  // Runs wizard at a console and returns the trail of what it showed: each window by name, with
  // ":<option>" for its selected option; a message box as "[<title>]"; refusals ("! ..."), beeps
  // and the end of input as printed. A window printed again unchanged is not repeated.
  static std::string run(const std::function<void()>& wizard, const std::string& input) {
    std::vector<std::string> shown;
    std::istringstream lines(transcript(wizard, input));
    for (std::string line; std::getline(lines, line);) {
      while (line.starts_with("> ") || line.starts_with("? "))
        line.erase(0, 2);  // prompts
      if (line.starts_with("=== ")) {
        shown.push_back(line.substr(4, line.find(' ', 4) - 4));
      } else if (line.starts_with("--- MsgBox \"")) {
        shown.push_back("[" + line.substr(12, line.find('"', 12) - 12) + "]");
      } else if (line.starts_with("!") || line.starts_with("(")) {
        shown.push_back(line);
      } else if (const auto at = line.find(" option (*) "); at != std::string::npos) {
        const auto name = line.find_first_not_of(' ') + 3;  // after "opt"
        shown.back() += ":" + line.substr(name, at - name);
      }
    }
    shown.erase(std::unique(shown.begin(), shown.end()), shown.end());
    std::string trail;
    for (const std::string& item : shown)
      trail += (trail.empty() ? "" : " ") + item;
    return trail;
  }
  static std::string run(uikit::Form& page, const std::string& input) {
    return run([&page] { page.ShowModal(); }, input);
  }
  // From now on the database step op ("append", "commit", ...) fails with error code (3043
  // unless given), for every subject or only the one named.
  static void failAt(const std::string& op, int code = dao::kErrDiskIO,
                     const std::string& subject = "") {
    dao::SetFaultHook([=](std::string_view step, std::string_view on) {
      if (step == op && (subject.empty() || on == subject))
        throw dao::Error(code, "injected");
    });
  }

  decltype(frmCreateNewSet::today) realToday = frmCreateNewSet::today;
  testsupport::TempDir dir;
  std::string fe = dir.file("app/fe.mdb");
  std::string be = dir.file("app/data/be.mdb");
  std::string be2 = dir.file("app/data/be2.mdb");
  script::ScriptedDesktop desk;
  uikit::ScopedDesktop useDesk{desk};
};

}  // namespace orvanta
