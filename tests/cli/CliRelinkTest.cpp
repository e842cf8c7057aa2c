// `vantrel relink` as a user meets it on the demo's renamed back end: the Relink Manager at the
// console, answered by a script on stdin; the outcome read back through `vantrel status`.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/cli/CliTestSupport.h"

namespace clitest {
namespace {

namespace fs = std::filesystem;

// The first window, with DIR for the demo's folder.
const char* const kFirstWindow = R"(=== frmLinkManager "Relink Manager"
Label1 label "Current Active Link Set:"
lblActiveLinkSet label "Office"
lblTableName label "Customers"
cmdSetMgr button "&Open Set Manager"
lblStatusMsg label "To view the status of individual table links Click Here --->"
cmdExpand button "Show Link Status"
Frame2 frame "Link Information"
  txtLinkStatus text locked
    | Problem:
    | The linked database could not be found. It could have been moved, deleted or renamed. 
    |
    | Action:
    | Select the linked database that you would like to relink to or Browse/Search to find your linked database and click the 'Relink' button.
  Label2 label "Directory path of failed table link:"
  lblDatabasePath label "DIR/App/Data/Sales.mdb"
fraDataSources frame "Possible Data Sources"
  Text1 text locked
    | Below is a list of possible databases to re-establish your links to.  Select a database and click 'Relink'. 
    | Alternately,  you can click 'Browse' or 'Search'  to locate a different database with which to try and relink.
  lsvDatabases listview sorted by column 2 descending
    columns 1 "Database Path" 2 "Score" 3 "Needed Tables"
    1   DIR/App/Data/Sales-2024.mdb | 83 | 2 of 2
    2   DIR/App/Data/Staff.mdb | 33 | 0 of 2
  Label3 label "To see how the Score is calculated Click Here --->"
  cmdOpenScoring button "What's Score?"
cmdBrowse button "&Browse"
cmdSearch button "&Search"
cmdOK button "&Relink"
cmdCancel button "&Done"
> click cmdExpand
)";

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
  for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

TEST(CliRelink, RepairsTheRenamedBackEndAtTheConsoleAndExitsZero) {
  testsupport::TempDir dir;
  const std::string frontEnd = buildDemo(dir.path(), "renamed");
  const Result result =
      run({"relink", frontEnd, "--ui=console"},
          "click cmdExpand\nclick lsvDatabases 1\nclick cmdOK\nclick cmdCancel\n");
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.err, "");
  const std::string out = replaceAll(result.out, fs::path(dir.path()).string(), "DIR");
  EXPECT_EQ(out.substr(0, std::string(kFirstWindow).size()), kFirstWindow);
  // The expanded tree names each node's picture.
  EXPECT_NE(out.find("    0   [ChildFail] DIR/App/Data/Sales.mdb\n"
                     "      1   [NotApp] Customers\n"),
            std::string::npos);
  // After the relink the window comes back, prepared afresh, with the success text.
  const auto again = out.rfind("=== frmLinkManager");
  ASSERT_NE(again, std::string::npos);
  const std::string last = out.substr(again);
  EXPECT_NE(last.find("| All links have successfully be established!"), std::string::npos);
  EXPECT_NE(last.find("cmdOK button \"&Relink\" disabled"), std::string::npos);

  const Flat status = statusJson(frontEnd);
  for (const char* table : {"Customers", "Orders", "Employees", "Departments"})
    EXPECT_EQ(linked(status, table, "opens"), "true") << table;
  EXPECT_EQ(linked(status, "Customers", "connect"),
            ";DATABASE=" + dir.file("App/Data/Sales-2024.mdb"));

  // Done at once on a front end whose links still fail: exit 1.
  const std::string broken = buildDemo(dir.file("second"), "renamed");
  EXPECT_EQ(run({"relink", broken, "--ui=console"}, "click cmdCancel\n").exitCode, 1);
}

}  // namespace
}  // namespace clitest
