// What the link-set store suites share: a clean component state on a fresh front end (with its
// local table tblLocal), a scripted desktop that fails the test on any unexpected window or
// message, and a temporary folder.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dao/dao.h"
#include "engine/ComponentState.h"
#include "engine/Engine.h"
#include "engine/clsOrvanta.h"
#include "tests/support/Fixtures.h"
#include "uikit/form.h"
#include "uikit/script/scripted_desktop.h"

namespace storetest {

using testsupport::LinkedDef;
using testsupport::LinkRow;

class StoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    orvanta::state() = orvanta::ComponentState{};
    orvanta::clsOrvanta applyDefaults;
    fe = dir.file("app/fe.mdb");
    testsupport::makeFrontEnd(fe);
    orvanta::state().currentFrontEndPath = fe;
  }
  void TearDown() override {
    dao::SetFaultHook(nullptr);
    uikit::unloadAllForms();
    uikit::FormRegistry::current().collect();
    EXPECT_EQ(desk.failure(), "");
    EXPECT_EQ(desk.leftovers(), "");
  }

  // A back end data/<name> holding tables, each linked into the front end when link is true.
  std::string backEnd(const std::string& name, const std::vector<std::string>& tables,
                      bool link = false) {
    const std::string path = dir.file("data/" + name);
    testsupport::makeBackEnd(path, tables);
    for (const std::string& table : tables) {
      if (link)
        testsupport::linkTable(fe, table, path);
    }
    return path;
  }

  static LinkedDef linked(const std::string& name, const std::string& backEndPath) {
    return {name, orvanta::connectString(backEndPath), name};
  }
  static LinkRow row(const std::string& set, const std::string& table,
                     const std::string& backEndPath) {
    return {set, table, orvanta::connectString(backEndPath)};
  }
  std::vector<std::string> setNames() const {
    std::vector<std::string> names;
    for (const auto& set : testsupport::linkSets(fe))
      names.push_back(set.name);
    return names;
  }

  testsupport::TempDir dir;
  uikit::script::ScriptedDesktop desk;
  uikit::ScopedDesktop use{desk};
  std::string fe;
};

}  // namespace storetest
