// The follow-on pages: Missing Links, Create New Set and Switch Set (Add Extra Links is with the
// situation pages), over real
// front ends, with their refusals and their ways back.
#include <algorithm>
#include <array>
#include <filesystem>
#include <tuple>

#include "engine/Engine.h"
#include "tests/ui/wizard/WizardFixture.h"
#include "ui/wizard/frmCreateNewSet.h"
#include "ui/wizard/frmFixSet.h"
#include "ui/wizard/frmIIb2c2.h"
#include "ui/wizard/frmMissingLinks.h"
#include "ui/wizard/frmSwitchSet.h"

namespace orvanta {
namespace {

// Main holds "tblA (old)" and "tblB (x)" of be; the Fix Set page resolved the first to be2 and
// left the second open. The names hold what a row shows around its path.
void resolvedOnlyA(WizardTest& t) {
  testsupport::makeBackEnd(t.be, {"tblA (old)", "tblB (x)"});
  testsupport::makeBackEnd(t.be2, {"tblA (old)"});
  const Links links{{"tblA (old)", t.be}, {"tblB (x)", t.be}};
  t.buildWorld(links, links);
  auto& page = uikit::form<frmFixSet>();
  page.addRequiredTable("tblA (old)", "");
  page.setRequiredTable(0, t.be2, true);
  page.addRequiredTable("tblB (x)", "");
}

// Remove Links and Create Set keep the resolved links only, with set IDs beyond 16 bits too; a
// failed create leaves everything as it was.
TEST_F(WizardTest, MissingLinksKeepsTheResolvedLinks) {
  // The commands, the dao step that fails, the trail, the files after, the active set.
  for (const auto& [input, fault, trail, after, active] : std::vector<std::array<std::string, 5>>{
           {"click optRemoveLinks\nclick cmdNext\nclick cmdFinish", "",
            "frmMissingLinks:CreateSet frmMissingLinks:RemoveLinks frmFinish",
            "*Main.tblA (old)=be2 | tblA (old)=be2", "Main"},
           {"type txtSetName Partial\nclick cmdNext\nclick cmdFinish", "",
            "frmMissingLinks:CreateSet frmFinish",
            "Main.tblA (old)=be Main.tblB (x)=be *Partial.tblA (old)=be2 | tblA (old)=be2",
            "Partial"},
           {"type txtSetName Partial\nclick cmdNext\nok\nclose", "append",
            "frmMissingLinks:CreateSet [cmdNext_Click] frmMissingLinks:CreateSet",
            "*Main.tblA (old)=be *Main.tblB (x)=be | tblA (old)=be tblB (x)=be", "Main"}}) {
    restart();
    resolvedOnlyA(*this);
    dao::OpenDatabase(fe)->Execute("UPDATE tblLinkedSets SET ID = 40000 WHERE Name = 'Main'");
    dao::OpenDatabase(fe)->Execute("UPDATE tblLinkedTables SET LinkSetID = 40000");
    failAt(fault);
    EXPECT_EQ(run(page<frmMissingLinks>(), input), trail);
    EXPECT_EQ(world(), after);
    EXPECT_EQ(state().activeSetName, active);
  }
}

// The new-set fields of Missing Links and Create New Set: each refusal keeps the page, with the
// focus on the field to fix, and changes nothing.
TEST_F(WizardTest, NewSetFieldsAreChecked) {
  resolvedOnlyA(*this);
  const std::string before = world();
  const std::string taken = "There is already a link set defined with the name\r\n";
  // The page, the name and description typed, the message, its title, the field focused.
  for (const auto& [page, name, description, text, title, focus] : std::vector<
           std::tuple<PageRef, std::string, std::string, std::string, std::string, std::string>>{
           {page<frmMissingLinks>, "", "d", "You must fill in a Set Name and Description!",
            "Missing Information", "txtSetName"},
           {page<frmCreateNewSet>, "n", "", "You must fill in a Set Description.", "Missing Field",
            "txtDescription"},
           {page<frmCreateNewSet>, "MAIN", "d", taken + "MAIN", "Link Set Error", "txtSetName"}}) {
    desk.answer(Answer::OK, text, title);
    std::string focused;
    uikit::Form& p = page();
    desk.onShow(p.name(), [&, name = name, description = description](uikit::Form& f) {
      script::type(f, "txtSetName", name);
      script::type(f, "txtDescription", description);
      script::click(f, "cmdNext");
      focused = f.focused() ? f.focused()->name() : "";
      script::close(f);
    });
    p.ShowModal();
    EXPECT_EQ(focused, focus) << text;
  }
  EXPECT_EQ(world(), before);
}

// Replacing the active set's links by the current ones, or making a new active set of them, is
// all or nothing: when a link row cannot be written, every set is as it was.
TEST_F(WizardTest, SetsFromTheCurrentLinksAreAllOrNothing) {
  const std::string refused = " [cmdNext_Click - 3000] ";
  for (const auto& [page, input, trail] :
       std::vector<std::tuple<PageRef, std::string, std::string>>{
           {page<frmIIb2c2>, "click optUpdateSet\nclick cmdNext\nok\nclose",
            "frmIIb2c2:FixSet frmIIb2c2:UpdateSet" + refused + "frmIIb2c2:UpdateSet"},
           {page<frmCreateNewSet>, "click cmdNext\nok\nclose",
            "frmCreateNewSet" + refused + "frmCreateNewSet"}}) {
    restart();
    testsupport::makeBackEnd(be, {"tblA"});
    testsupport::makeBackEnd(be2, {"tblA"});
    buildWorld({{"tblA", be}}, {{"tblA", be2}});
    dao::OpenDatabase(fe)->Execute(
        "CREATE TRIGGER refuse BEFORE INSERT ON tblLinkedTables BEGIN SELECT RAISE(ABORT, "
        "'refused'); END");
    const std::string before = world();
    const auto sets = testsupport::linkSets(fe);
    EXPECT_EQ(run(page(), input), trail);
    EXPECT_EQ(world(), before) << trail;
    EXPECT_EQ(testsupport::linkSets(fe), sets) << trail;
    EXPECT_EQ(state().activeSetName, "Main");
  }
}

// Over a front end with two links and no link set yet, as the check finds it: the set is created
// with today's date, made active and filled; when the links are broken, the wizard goes on to the
// first situation page.
TEST_F(WizardTest, CreateNewSet) {
  for (const bool broken : {true, false}) {
    restart();
    testsupport::makeBackEnd(be, {"tblA", "tblB"});
    testsupport::makeFrontEnd(fe);
    for (const char* table : {"tblA", "tblB"})
      testsupport::linkTable(fe, table, be);
    ASSERT_TRUE(CreateMissingTables(fe));
    state().currentFrontEndPath = state().linkSetDatabasePath = fe;
    if (broken)
      std::filesystem::rename(be, be2);
    EXPECT_EQ(run(page<frmCreateNewSet>(),
                  broken ? "click cmdNext\nclose" : "click cmdNext\nclick cmdFinish"),
              broken ? "frmCreateNewSet frmWizard1:FixSet" : "frmCreateNewSet frmFinish");
    EXPECT_EQ(testsupport::linkSets(fe).at(0).description,
              "Default link set created on 03/05/2024");
  }
  EXPECT_EQ(world(), "*Default Link Set.tblA=be *Default Link Set.tblB=be | tblA=be tblB=be");
}

// Main, Other (valid) and Broken (its back end lacks tblA) over a front end linking tblA of be:
// nothing selected is refused; a valid set finishes; a broken one goes on to Fix Set, whose Back
// leads to the first situation page.
TEST_F(WizardTest, SwitchSet) {
  testsupport::makeBackEnd(be, {"tblA"});
  testsupport::makeBackEnd(be2, {"tblZ"});
  buildWorld({{"tblA", be}}, {{"tblA", be}});
  testsupport::addLinkSet(fe, "Other", "", false, {{"tblA", be}});
  testsupport::addLinkSet(fe, "Broken", "", false, {{"tblA", be2}});
  for (const auto& [set, input, trail] : std::vector<std::array<std::string, 3>>{
           {"Main", "click cmdNext\nok\nclose", "frmSwitchSet [No Set Selected] frmSwitchSet"},
           {"Other", "click lstValidSets 0\nclick cmdNext\nclick cmdFinish",
            "frmSwitchSet frmFinish"},
           {"Broken", "click lstValidSets 0\nclick cmdNext\nclick cmdBack\nclose",
            "frmSwitchSet frmFixSet frmWizard1:FixSet"}}) {
    auto& page = uikit::form<frmSwitchSet>();
    page.lstValidSets.AddItem(set == "Main" ? "Other" : set);
    page.txtCallingForm.Text = "frmWizard1";
    EXPECT_EQ(run(page, input), trail);
    const std::string files = world();  // set is the one active set
    EXPECT_EQ(std::ranges::count(files, '*'), 1) << files;
    EXPECT_NE(files.find("*" + set + "."), std::string::npos) << files;
    EXPECT_EQ(state().activeSetName, set);
  }
}

}  // namespace
}  // namespace orvanta
