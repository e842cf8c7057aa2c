// The Set Manager's link list: removing links and pointing them at another back end, by the
// table each row stands for, with every message for a database that cannot take them.
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "tests/ui/sets/SetManagerFixture.h"

namespace orvanta {
namespace {

namespace fsys = std::filesystem;

// Selects rows of the shown set's link list in edit mode, then clicks button.
SetManagerTest::Steps selectAndClick(std::vector<int> rows, std::string button, int nexts = 0) {
  return [=](frmSetManager& w) {
    for (int i = 0; i < nexts; ++i)
      script::click(w, "cmdNextSet");
    script::click(w, "cmdUpdateLinkSet");
    for (int row : rows)
      script::clickRow(w, "lstTableLinks", row);
    script::click(w, button);
  };
}

// Names that the shown text cannot give back: a space, a parenthesis.
TEST_F(SetManagerTest, RemoveTakesWholeNamesAndAsksOnceForTheActiveSet) {
  const Links links{{"Order Details", be}, {"Orders (old)", be}, {"tblA", be}};
  for (const auto& [answer, nexts, after] : std::vector<std::tuple<Answer, int, std::string>>{
           {Answer::No, 0,
            "*Main.Order Details=be *Main.Orders (old)=be *Main.tblA=be Other.Order Details=be "
            "Other.Orders (old)=be Other.tblA=be | Order Details=be Orders (old)=be tblA=be"},
           {Answer::Yes, 0,
            "*Main.tblA=be Other.Order Details=be Other.Orders (old)=be Other.tblA=be | tblA=be"},
           // Another set: no question, and the front end keeps its links.
           {Answer::OK, 1,
            "*Main.Order Details=be *Main.Orders (old)=be *Main.tblA=be Other.tblA=be | Order "
            "Details=be Orders (old)=be tblA=be"}}) {
    restart();
    testsupport::makeBackEnd(be, {"Order Details", "Orders (old)", "tblA"});
    buildWorld(links, links);
    testsupport::addLinkSet(fe, "Other", "", false, links);
    if (answer != Answer::OK)
      desk.answer(answer, "this will also remove the table links", "Remove Table Links?");
    manage(selectAndClick({0, 1}, "cmdRemoveLink", nexts));
    EXPECT_EQ(world(), after);
  }
}

TEST_F(SetManagerTest, UpdateLinksSaysWhyADatabaseCannotBeUsed) {
  const std::string missing = dir.file("app/data/missing.mdb");
  const std::string text = dir.file("app/data/notes.mdb");
  const std::string pipe = dir.file("app/data/pipe.mdb");
  const std::string readOnly = dir.file("app/data/ro.mdb");
  const std::string lacking = dir.file("app/data/lacking.mdb");
  const std::string locked = dir.file("app/data/locked.mdb");
  const std::string another = "\r\nDo you want to try another database?";
  struct Case {
    std::vector<std::string> files;  // chosen in turn, "" cancels
    std::vector<Answer> answers;
    std::string message;  // the first message, or its start when it ends in "..."
    std::string table;    // where Order Details is linked afterwards
  };
  for (const Case& c : std::vector<Case>{
           {{missing},
            {Answer::No},
            "You can't run the application until you locate the " + another,
            "be"},
           {{readOnly},
            {Answer::No},
            "Couldn't open selected database because it is read-only or it is located on a "
            "read-only share." +
                another,
            "be"},
           {{text}, {Answer::No}, "...", "be"},
           {{pipe}, {Answer::No}, "...", "be"},
           {{locked}, {Answer::No}, "...", "be"},
           // A cancel stands for no database; another try, then a good one.
           {{"", be2}, {Answer::Yes}, "Do you want to try another database?", "be2"},
           {{lacking},
            {Answer::OK},
            "The database " + lacking + " does not contain required table 'Order Details'",
            "be"},
           {{be2}, {}, "", "be2"},
       }) {
    SCOPED_TRACE(c.files.back());
    restart();
    testsupport::makeBackEnd(be, {"Order Details", "tblB"});
    testsupport::makeBackEnd(be2, {"Order Details"});
    testsupport::makeBackEnd(readOnly, {"Order Details"});
    fsys::permissions(
        readOnly, fsys::perms::owner_write | fsys::perms::group_write | fsys::perms::others_write,
        fsys::perm_options::remove);
    testsupport::makeBackEnd(lacking, {"tblB"});
    testsupport::makeBackEnd(locked, {"Order Details"});
    std::ofstream(text) << "not a database\n";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const Links links{{"Order Details", be}, {"tblB", be}};
    buildWorld(links, links);
    testsupport::HeldByAnotherProcess holder(locked, -1, false);
    ASSERT_TRUE(holder.held());
    for (const std::string& file : c.files)
      desk.chooseFile(file);
    for (const Answer answer : c.answers)
      desk.answer(answer);
    const std::size_t first = desk.messages().size();
    manage(selectAndClick({0}, "cmdUpdateLinks"));
    const auto boxes = desk.messages();
    ASSERT_EQ(boxes.size() - first, c.answers.size());
    if (!c.answers.empty()) {
      const std::string& shown = boxes[first].text;
      if (c.message == "...") {
        EXPECT_TRUE(shown.ends_with(another) && shown.size() > another.size()) << shown;
      } else {
        EXPECT_EQ(shown, c.message);
      }
    }
    EXPECT_EQ(world(), "*Main.Order Details=" + c.table +
                           " *Main.tblB=be | Order Details=" + c.table + " tblB=be");
  }
  const auto& opened = desk.transcript();
  const auto dialog = std::find_if(opened.begin(), opened.end(), [](const auto& e) {
    return e.kind == script::Entry::Kind::OpenFile;
  });
  ASSERT_NE(dialog, opened.end());
  EXPECT_EQ(dialog->title, "Please locate the linked database for the table Order Details");
}

}  // namespace
}  // namespace orvanta
