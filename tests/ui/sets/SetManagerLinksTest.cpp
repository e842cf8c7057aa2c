// The Set Manager's link list: removing links and pointing them at another back end by the whole
// table name kept with each row, with every message for a database that cannot take them.
#include <filesystem>
#include <tuple>

#include "tests/ui/sets/SetManagerFixture.h"

namespace orvanta {
namespace {

namespace fsys = std::filesystem;

// In edit mode, selects rows of the shown set's links, then clicks button.
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

// Rows 0 and 1 are "Order Details" and "Orders (old)": names the shown text cannot give back.
TEST_F(SetManagerTest, RemoveAsksOnceForTheActiveSet) {
  const Links links{{"Order Details", be}, {"Orders (old)", be}, {"tblA", be}};
  // {answer (OK: none asked), Next clicks, link rows left of both sets, linked tables left}
  for (const auto& [answer, nexts, rows, defs] : std::vector<std::tuple<Answer, int, int, int>>{
           {Answer::No, 0, 6, 3}, {Answer::Yes, 0, 4, 1}, {Answer::OK, 1, 4, 3}}) {
    restart();
    testsupport::makeBackEnd(be, {"Order Details", "Orders (old)", "tblA"});
    buildWorld(links, links);
    testsupport::addLinkSet(fe, "Other", "", false, links);
    if (answer != Answer::OK)
      desk.answer(answer, "this will also remove the table links", "Remove Table Links?");
    manage(selectAndClick({0, 1}, "cmdRemoveLink", nexts));
    EXPECT_EQ(testsupport::linkRows(fe).size(), static_cast<std::size_t>(rows));
    EXPECT_EQ(testsupport::linkedDefs(fe).size(), static_cast<std::size_t>(defs));
  }
}

TEST_F(SetManagerTest, UpdateLinksSaysWhyADatabaseCannotBeUsed) {
  const std::string readOnly = dir.file("app/data/ro.mdb");
  const std::string lacking = dir.file("app/data/lacking.mdb");
  const std::string another = "\r\nDo you want to try another database?";
  // The files chosen in turn ("" cancels), the answers, the first message, where Order Details
  // is linked afterwards.
  const auto update = [&](const std::vector<std::string>& files, const std::vector<Answer>& answers,
                          const std::string& message, const std::string& linked) {
    SCOPED_TRACE(files.back());
    restart();
    testsupport::makeBackEnd(be, {"Order Details", "tblB"});
    for (const std::string& file : {be2, readOnly})
      testsupport::makeBackEnd(file, {"Order Details"});
    fsys::permissions(readOnly, fsys::perms::owner_read, fsys::perm_options::replace);
    testsupport::makeBackEnd(lacking, {"tblB"});
    const Links links{{"Order Details", be}, {"tblB", be}};
    buildWorld(links, links);
    for (const std::string& file : files)
      desk.chooseFile(file);
    for (std::size_t i = 0; i < answers.size(); ++i)
      desk.answer(answers[i], i == 0 ? message : "");
    manage(selectAndClick({0}, "cmdUpdateLinks"));
    EXPECT_EQ(world(), "*Main.Order Details=" + linked +
                           " *Main.tblB=be | Order Details=" + linked + " tblB=be");
  };
  update({dir.file("app/data/missing.mdb")}, {Answer::No},
         "You can't run the application until you locate the " + another, "be");
  update({readOnly}, {Answer::No},
         "Couldn't open selected database because it is read-only or it is located on a "
         "read-only share." +
             another,
         "be");
  update({"", be2}, {Answer::Yes}, "Do you want to try another database?", "be2");
  update({lacking}, {Answer::OK},
         "The database " + lacking + " does not contain required table 'Order Details'", "be");
  update({be2}, {}, "", "be2");
  EXPECT_NE(desk.text().find("openfile \"Please locate the linked database for the table Order "
                             "Details\""),
            std::string::npos);
}

}  // namespace
}  // namespace orvanta
