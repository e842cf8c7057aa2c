// What the engine suites share: a clean component state, a scripted desktop that fails the test
// on any unexpected window or message, a temporary folder, and builders for the files.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "dao/dao.h"
#include "engine/ComponentState.h"
#include "engine/Engine.h"
#include "orvanta/clsOrvanta.h"
#include "tests/support/Fixtures.h"
#include "ui/wizard/frmFixSet.h"
#include "uikit/form.h"
#include "uikit/script/scripted_desktop.h"

namespace enginetest {

namespace script = uikit::script;
using orvanta::state;
using testsupport::addLinkSet;
using testsupport::Link;
using testsupport::LinkedDef;
using testsupport::linkedDefs;
using testsupport::LinkRow;
using testsupport::linkRows;
using testsupport::linkSets;

class EngineTest : public ::testing::Test {
 public:
  void SetUp() override {
    state() = orvanta::ComponentState{};
    orvanta::clsOrvanta applyDefaults;
  }
  void TearDown() override {
    dao::SetFaultHook(nullptr);
    uikit::unloadAllForms();
    uikit::FormRegistry::current().collect();
    EXPECT_EQ(desk.failure(), "");
    EXPECT_EQ(desk.leftovers(), "");
  }

  // dir/relative as a back end holding the given tables.
  std::string backEnd(const std::string& relative, const std::vector<std::string>& held = kTables) {
    testsupport::makeBackEnd(dir.file(relative), held);
    return dir.file(relative);
  }
  // A front end at dir/relative with the given links; back ends not there yet are made.
  std::string frontEnd(const std::string& relative, const std::vector<Link>& links = {}) {
    const std::string fe = dir.file(relative);
    testsupport::makeFrontEnd(fe);
    for (const Link& link : links) {
      if (!std::filesystem::exists(link.backEnd))
        testsupport::makeBackEnd(link.backEnd, kTables);
      testsupport::linkTable(fe, link.table, link.backEnd);
    }
    return fe;
  }
  // Points the component state at a front end as the check does before measuring.
  static void useFrontEnd(const std::string& fe, const std::string& activeSet,
                          const std::string& saved = "") {
    state().currentFrontEndPath = state().linkSetDatabasePath = fe;
    state().savedFrontEndPath = saved;
    state().activeSetName = activeSet;
  }
  static LinkedDef linked(const std::string& name, const std::string& backEndPath) {
    return {name, orvanta::connectString(backEndPath), name};
  }
  // The Fix Set page's candidate paths, sorted.
  static std::vector<std::string> candidates() {
    std::vector<std::string> out;
    for (const auto& item : uikit::form<orvanta::frmFixSet>().lsvDatabases.items())
      out.push_back(item.text);
    std::sort(out.begin(), out.end());
    return out;
  }

  inline static const std::vector<std::string> kTables{"Customers", "Orders", "Extra"};
  testsupport::TempDir dir;
  script::ScriptedDesktop desk;
  uikit::ScopedDesktop use{desk};
};

// A front end app/fe.mdb (with its local table tblLocal) that the component works on.
class StoreTest : public EngineTest {
 public:
  void SetUp() override {
    EngineTest::SetUp();
    fe = frontEnd("app/fe.mdb");
    state().currentFrontEndPath = fe;
  }
  // data/name holding tables, each linked into the front end.
  std::string linkedBackEnd(const std::string& name, const std::vector<std::string>& tables) {
    const std::string be = backEnd("data/" + name, tables);
    for (const std::string& table : tables)
      testsupport::linkTable(fe, table, be);
    return be;
  }
  // The link rows and the linked tables in one line, back ends by file name:
  // "Office.Orders=old.mdb | Archive=new.mdb(Orders)".
  std::string world() const {
    const auto where = [](const std::string& c) {
      return c.starts_with(";DATABASE=") ? c.substr(c.find_last_of('/') + 1) : "?" + c;
    };
    std::string s;
    for (const LinkRow& r : linkRows(fe))
      s += r.setName + "." + r.table + "=" + where(r.databasePath) + " ";
    s += "|";
    for (const LinkedDef& d : linkedDefs(fe))
      s += " " + d.name + "=" + where(d.connect) +
           (d.sourceTable == d.name ? "" : "(" + d.sourceTable + ")");
    return s;
  }

  std::string fe;
};

}  // namespace enginetest
