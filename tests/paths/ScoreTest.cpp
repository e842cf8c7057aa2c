// Score arithmetic and list text, without files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "paths/Score.h"
#include "paths/ShownPath.h"

namespace orvanta::paths {
namespace {

TEST(ScoreText, PointsAsTwoDigitPercentOfThirtyCappedAt99) {
  const std::vector<std::pair<int, std::string>> cases = {
      {0, "00"},  {1, "03"},  {3, "10"},  {5, "17"},  {8, "27"},
      {10, "33"}, {13, "43"}, {15, "50"}, {18, "60"}, {20, "67"},
      {23, "77"}, {25, "83"}, {28, "93"}, {29, "97"}, {30, "99"}};
  for (const auto& [points, text] : cases)
    EXPECT_EQ(scoreText(points), text) << points;
}

TEST(TablePoints, ShareOfNeededTablesHalvesToEven) {
  struct Case {
    int found, needed, points;
  };
  for (const Case& c : std::vector<Case>{{8, 8, 10},
                                         {4, 8, 5},
                                         {1, 4, 2},
                                         {3, 4, 8},
                                         {1, 3, 3},
                                         {2, 3, 7},
                                         {1, 20, 0},
                                         {3, 20, 2},
                                         {0, 0, 0}}) {
    EXPECT_EQ(tablePoints(c.found, c.needed), c.points) << c.found << " of " << c.needed;
  }
}

TEST(NamePoints, EqualContainedOrNoneIgnoringCase) {
  struct Case {
    std::string candidate, missing;
    int points;
  };
  for (const Case& c : std::vector<Case>{
           {R"(C:\New\SALES.MDB)", R"(C:\Old\Sales.mdb)", 10},
           {"/new/Copy of Sales.mdb", "/old/SALES.mdb", 5},
           {R"(C:\New\Sale.mdb)", R"(C:\Old\Sales.mdb)", 0},
           {R"(C:\Sales\Orders.mdb)", R"(C:\Old\Sales.mdb)", 0},
           {"/new/Sales.mdb", "", 0},  // no missing name: every name would contain ""
       }) {
    EXPECT_EQ(namePoints(c.candidate, c.missing), c.points) << c.candidate;
  }
}

TEST(FolderPoints, SameRelativePositionThenSameFolderThenFrontEndFolder) {
  struct Case {
    std::string candidate, missing, savedFrontEnd, currentFrontEnd;
    int points;
  };
  for (const Case& c : std::vector<Case>{
           {R"(E:\Test\Data\Be.mdb)", R"(C:\App\Data\Be.mdb)", R"(C:\App\Fe.mdb)",
            R"(e:\test\Fe.mdb)", 10},
           {"/b/data/x.mdb", "/a/data/be.mdb", "/a/front/fe.mdb", "/b/front/fe.mdb", 10},
           {"/b/other/x.mdb", "/a/data/be.mdb", "/a/front/fe.mdb", "/b/front/fe.mdb", 0},
           // No saved front end: no old position, so never 10.
           {R"(E:\Test\Data\Be.mdb)", R"(C:\App\Data\Be.mdb)", "", R"(E:\Test\Fe.mdb)", 0},
           {R"(c:\app\DATA\Copy.mdb)", R"(C:\App\Data\Be.mdb)", "", R"(E:\Test\Fe.mdb)", 8},
           {"/srv/test/be.mdb", "/srv/app/data/be.mdb", "", "/srv/test/fe.mdb", 5},
           // E:\AX only starts like E:\A: its position differs from the old ..\..\AB\.
           {R"(E:\AX\x.mdb)", R"(C:\AB\x.mdb)", R"(C:\A\B\Fe.mdb)", R"(E:\A\B\Fe.mdb)", 0},
           {R"(E:\AB\x.mdb)", R"(C:\AB\x.mdb)", R"(C:\A\B\Fe.mdb)", R"(E:\A\B\Fe.mdb)", 10},
       }) {
    EXPECT_EQ(folderPoints(c.candidate, c.missing, c.savedFrontEnd, c.currentFrontEnd), c.points)
        << c.candidate << " from " << c.currentFrontEnd;
  }
}

TEST(ShownPath, LongPathsKeepHeadAndTailAroundAnEllipsis) {
  const std::string n50(50, 'n');
  const std::vector<std::pair<std::string, std::string>> cases = {
      {R"(C:\Projects\Clients\Northwind\Data\Backend1234.mdb)",  // 50: whole
       R"(C:\Projects\Clients\Northwind\Data\Backend1234.mdb)"},
      {R"(C:\Projects\Clients\Northwind\Data\Backend12345.mdb)",  // 51
       R"(C:\...\Clients\Northwind\Data\Backend12345.mdb)"},
      {R"(C:\Company\Departments\Finance\Reports\Quarterly\2024\Data\Ledgers.mdb)",  // 70
       R"(C:\...\Reports\Quarterly\2024\Data\Ledgers.mdb)"},
      // Head, next folder and tail would make exactly 48: the folder stays elided.
      {R"(C:\Top\Folder12345\SalesBackEnd_2024_final_copy.mdb)",
       R"(C:\...\SalesBackEnd_2024_final_copy.mdb)"},
      {"/srv/company/departments/finance/reports/quarterly/data/ledger2024.mdb",
       "/srv/.../reports/quarterly/data/ledger2024.mdb"},
      {R"(\\fileserver\shared\departments\finance\reports\2024\data\ledger.mdb)",
       R"(\\fileserver\...\reports\2024\data\ledger.mdb)"},
      {"C:\\Donn\xC3\xA9"
       R"(es\Projets\Clients\Nord\Daten\Backend1.mdb)",  // 50 chars, 51 bytes
       "C:\\Donn\xC3\xA9"
       R"(es\Projets\Clients\Nord\Daten\Backend1.mdb)"},
      {"C:" + n50 + ".mdb", "C:" + n50 + ".mdb"},  // nothing to cut at
      {R"(C:\)" + n50 + ".mdb", R"(C:\)" + n50 + ".mdb"},
      {R"(C:\Data\Archive\)" + n50 + ".mdb", R"(C:\...\)" + n50 + ".mdb"},
  };
  for (const auto& [path, shown] : cases)
    EXPECT_EQ(shownPath(path), shown) << path;
}

}  // namespace
}  // namespace orvanta::paths
