// Common ground for the wizard suites: a temporary folder with a front end and its back ends, a
// scripted desktop on which every page, message box and file dialog must be expected, and a
// clean component state and window list around each test.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "dao/dao.h"
#include "engine/ComponentState.h"
#include "tests/support/Fixtures.h"
#include "ui/wizard/WizardPage.h"
#include "uikit/form.h"
#include "uikit/script/scripted_desktop.h"

namespace orvanta {

namespace script = uikit::script;
using testsupport::Link;
using testsupport::LinkRow;
using uikit::Answer;

// Public, so that tables of situations can build their worlds through it.
class WizardTest : public ::testing::Test {
 public:
  void SetUp() override {
    state() = ComponentState{};
    ComponentState& s = state();
    s.bolAllowSetSwitching = s.bolAllowPathChange = s.bolAllowAddTables = s.bolAllowSetMgmt = true;
    s.defaultsApplied = true;
  }
  void TearDown() override {
    dao::SetFaultHook(nullptr);
    uikit::unloadAllForms();
    uikit::FormRegistry::current().collect();
    state() = ComponentState{};
    EXPECT_EQ(desk.leftovers(), "");
    EXPECT_EQ(desk.failure(), "");
  }

  // The front end app/fe.mdb with feLinks as its linked tables and the active set "Main" holding
  // setLinks, recorded with fe as its front end; the component state is what a check leaves
  // behind. The back ends must exist.
  void buildWorld(const std::vector<Link>& setLinks, const std::vector<Link>& feLinks) {
    testsupport::makeFrontEnd(fe);
    for (const Link& link : feLinks)
      testsupport::linkTable(fe, link.table, link.backEnd);
    testsupport::addLinkSet(fe, "Main", "Main set", true, setLinks, fe);
    useActiveSet("Main");
  }
  void useActiveSet(const std::string& name) {
    ComponentState& s = state();
    s.currentFrontEndPath = s.savedFrontEndPath = s.linkSetDatabasePath = fe;
    s.activeSetName = name;
    s.activeSetFound = true;
  }

  // Everything the wizard may change: the link rows and the front end's linked tables.
  struct Snapshot {
    std::vector<LinkRow> rows;
    std::vector<testsupport::LinkedDef> defs;
    bool operator==(const Snapshot&) const = default;
  };
  Snapshot snapshot() const { return {testsupport::linkRows(fe), testsupport::linkedDefs(fe)}; }

  static int loadedForms() {
    return static_cast<int>(uikit::FormRegistry::current().loadedForms().size());
  }
  static std::string connect(const std::string& path) { return ";DATABASE=" + path; }

  testsupport::TempDir dir;
  std::string fe = dir.file("app/fe.mdb");
  std::string be = dir.file("app/data/be.mdb");
  std::string be2 = dir.file("app/data/be2.mdb");
  script::ScriptedDesktop desk;
  uikit::ScopedDesktop useDesk{desk};
};

// The option buttons of a page: which are enabled, which is selected, which the marker marks.
struct OptionState {
  std::string enabled;  // names, blank-separated, in page order
  std::string selected;
  std::string marked;
  bool operator==(const OptionState&) const = default;
};
inline std::ostream& operator<<(std::ostream& os, const OptionState& s) {
  return os << "{enabled: " << s.enabled << "; selected: " << s.selected << "; marked: " << s.marked
            << "}";
}
inline OptionState optionState(const OptionPage& page) {
  OptionState s;
  for (const auto& control : page.controls()) {
    if (control->kind() != uikit::ControlKind::OptionButton)
      continue;
    const auto& option = static_cast<const uikit::OptionButton&>(*control);
    if (option.Enabled)
      s.enabled += (s.enabled.empty() ? "" : " ") + option.name();
    if (option.value())
      s.selected = option.name();
    // Marked: the marker stands left of the option, its top 15 twips above the option's top.
    const auto& marker = page.Image2.geometry;
    if (page.Image2.container() == option.container() && marker.top == option.geometry.top - 15 &&
        marker.left + marker.width <= option.geometry.left) {
      s.marked = option.name();
    }
  }
  return s;
}

}  // namespace orvanta
