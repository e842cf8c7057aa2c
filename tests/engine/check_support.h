// What the link-checking suites share: a clean component state, a scripted desktop and a
// temporary folder for every test, plus readers for what the check leaves behind.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "dao/dao.h"
#include "engine/ComponentState.h"
#include "engine/Engine.h"
#include "engine/clsOrvanta.h"
#include "tests/support/Fixtures.h"
#include "ui/wizard/frmFixSet.h"
#include "uikit/form.h"
#include "uikit/script/scripted_desktop.h"

namespace checktest {

namespace script = uikit::script;
using testsupport::Link;

class CheckTest : public ::testing::Test {
 public:
  void SetUp() override {
    orvanta::state() = orvanta::ComponentState{};
    orvanta::clsOrvanta applyDefaults;
  }
  void TearDown() override {
    dao::SetFaultHook(nullptr);
    uikit::unloadAllForms();
    uikit::FormRegistry::current().collect();
    EXPECT_EQ(desk.failure(), "");
  }

  // dir/relative, with its folders created.
  std::string at(const std::string& relative) const {
    std::filesystem::create_directories(std::filesystem::path(dir.file(relative)).parent_path());
    return dir.file(relative);
  }
  // A front end at relative whose tables are linked to backEnd (made if it does not exist).
  std::string frontEnd(const std::string& relative, const std::vector<Link>& links) {
    const std::string fe = at(relative);
    testsupport::makeFrontEnd(fe);
    for (const Link& link : links) {
      if (!std::filesystem::exists(link.backEnd))
        testsupport::makeBackEnd(link.backEnd, tables);
      testsupport::linkTable(fe, link.table, link.backEnd);
    }
    return fe;
  }
  // Points the component state at a front end as the check would before measuring.
  void useFrontEnd(const std::string& fe, const std::string& activeSet,
                   const std::string& saved = "") {
    orvanta::ComponentState& s = orvanta::state();
    s.currentFrontEndPath = fe;
    s.linkSetDatabasePath = fe;
    s.savedFrontEndPath = saved;
    s.activeSetName = activeSet;
  }

  std::vector<std::string> tables{"Customers", "Orders", "Extra"};
  testsupport::TempDir dir;
  script::ScriptedDesktop desk;
  uikit::ScopedDesktop use{desk};
};

// The candidate store's paths, in store order.
inline std::vector<std::string> storePaths() {
  std::vector<std::string> out;
  for (const auto& item : uikit::form<orvanta::frmFixSet>().lsvDatabases.items()) {
    out.push_back(item.text);
  }
  return out;
}

inline std::vector<std::string> sorted(std::vector<std::string> v) {
  std::sort(v.begin(), v.end());
  return v;
}

}  // namespace checktest
