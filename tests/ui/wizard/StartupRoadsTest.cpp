// Whole roads through the wizard as the host meets them: a real start-up check classifies the
// front end, opens its page, and returns what the user decided.
#include <filesystem>
#include <functional>

#include "engine/clsOrvanta.h"
#include "tests/ui/wizard/WizardFixture.h"
#include "ui/wizard/frmFixSet.h"

namespace orvanta {
namespace {

class StartupRoad : public WizardTest {
 public:
  int check() { return clsOrvanta().CheckLinkedTables(fe); }
  std::string recordedFrontEnd() {
    auto rs = dao::OpenDatabase(fe)->OpenRecordset("SELECT FrontEndPath FROM tblLinkedSets");
    return rs->Field("FrontEndPath").AsString();
  }
  // Ignore answered No (the page stays, nothing changes), then Yes (every window closes).
  void ignoreOn(const std::string& page) {
    desk.onShow(page, [](uikit::Form& f) {
      script::click(f, "optIgnore");
      script::click(f, "cmdNext");
    });
    desk.onShow(page, script::clicking("cmdNext"));
    desk.answer(Answer::No, "Are you sure you want to ignore?", "Confirm Ignore");
    desk.answer(Answer::Yes, "Are you sure you want to ignore?", "Confirm Ignore");
  }
  std::string old = dir.file("app/data/old.mdb");
};

// Each situation, built on disk, reaches its page; Ignore there gives the host the page's answer.
struct Situation {
  const char* name;
  std::function<void(StartupRoad&)> build;
  std::vector<std::string> pages;  // shown in order; Ignore on the last
  int result;
};

void PrintTo(const Situation& s, std::ostream* os) {
  *os << s.name;
}

class IgnoreFromCheck : public StartupRoad, public ::testing::WithParamInterface<Situation> {};

TEST_P(IgnoreFromCheck, ResultFollowsThePage) {
  const Situation& s = GetParam();
  s.build(*this);
  const std::string recorded = recordedFrontEnd();
  for (size_t i = 0; i + 1 < s.pages.size(); ++i)
    desk.onShow(s.pages[i], script::clicking("cmdNext"));
  ignoreOn(s.pages.back());
  EXPECT_EQ(check(), s.result);
  EXPECT_EQ(desk.shownForms(), s.pages);    // the page stayed after the No
  EXPECT_EQ(recordedFrontEnd(), recorded);  // a moved front end is not recorded after Ignore
  EXPECT_EQ(loadedForms(), 0);
}

void renamedBackEnd(StartupRoad& t) {
  testsupport::makeBackEnd(t.old, {"tblA", "tblB"});
  t.buildWorld({{"tblA", t.old}, {"tblB", t.old}}, {{"tblA", t.old}, {"tblB", t.old}});
  std::filesystem::rename(t.old, t.be);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, IgnoreFromCheck,
    ::testing::Values(Situation{"Wizard1", renamedBackEnd, {"frmWizard1"}, 1},
                      Situation{"MissingLinks",
                                renamedBackEnd,
                                {"frmWizard1", "frmFixSet", "frmMissingLinks"},
                                0},
                      Situation{"Ib1",
                                [](StartupRoad& t) {
                                  testsupport::makeBackEnd(t.be, {"tblA"});
                                  testsupport::makeBackEnd(t.be2, {"tblA"});
                                  t.buildWorld({{"tblA", t.be}}, {{"tblA", t.be2}});
                                },
                                {"frmIb1"},
                                0},
                      Situation{"Id12",
                                [](StartupRoad& t) {
                                  testsupport::makeBackEnd(t.be, {"tblA", "tblX"});
                                  t.buildWorld({{"tblA", t.be}}, {{"tblA", t.be}, {"tblX", t.be}});
                                },
                                {"frmId12"},
                                1},
                      Situation{"IIb2c2",
                                [](StartupRoad& t) {
                                  testsupport::makeBackEnd(t.old, {"tblA"});
                                  testsupport::makeBackEnd(t.be2, {"tblA"});
                                  t.buildWorld({{"tblA", t.old}}, {{"tblA", t.be2}});
                                  std::filesystem::remove(t.old);
                                },
                                {"frmIIb2c2"},
                                1},
                      Situation{"FEMoved",
                                [](StartupRoad& t) {
                                  testsupport::makeBackEnd(t.be, {"tblA"});
                                  testsupport::makeFrontEnd(t.fe);
                                  testsupport::linkTable(t.fe, "tblA", t.be);
                                  testsupport::addLinkSet(t.fe, "Main", "", true, {{"tblA", t.be}},
                                                          t.dir.file("x/y/fe.mdb"));
                                },
                                {"frmFEMoved"},
                                0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StartupRoad, RenamedBackEndIsFixedThroughTheWizard) {
  renamedBackEnd(*this);
  desk.onShow("frmWizard1", script::clicking("cmdNext"));
  desk.onShow<frmFixSet>("frmFixSet", [this](frmFixSet& p) {
    const auto& items = p.lsvDatabases.items();
    for (size_t i = 0; i < items.size(); ++i) {
      if (items[i].text == be)
        script::clickRow(p, "lstDatabases", static_cast<int>(i));
    }
    script::click(p, "cmdNext");
  });
  desk.onShow("frmFinish", script::clicking("cmdFinish"));
  EXPECT_EQ(check(), 0);
  EXPECT_EQ(testsupport::linkRows(fe),
            (std::vector<LinkRow>{{"Main", "tblA", connect(be)}, {"Main", "tblB", connect(be)}}));
  EXPECT_EQ(testsupport::linkedDefs(fe),
            (std::vector<testsupport::LinkedDef>{{"tblA", connect(be), "tblA"},
                                                 {"tblB", connect(be), "tblB"}}));
  EXPECT_EQ(check(), 0);  // the next start-up finds everything in order and shows nothing
}

TEST_F(StartupRoad, MovedFrontEndRetainedIsRecorded) {
  testsupport::makeBackEnd(be, {"tblA"});
  testsupport::makeFrontEnd(fe);
  testsupport::linkTable(fe, "tblA", be);
  testsupport::addLinkSet(fe, "Main", "", true, {{"tblA", be}}, dir.file("x/y/fe.mdb"));
  desk.onShow("frmFEMoved", script::clicking("cmdNext"));
  desk.onShow("frmFinish", script::clicking("cmdFinish"));
  EXPECT_EQ(check(), 0);
  EXPECT_EQ(recordedFrontEnd(), fe);
}

}  // namespace
}  // namespace orvanta
