// Path text and score arithmetic, without files: every case is a literal result, Windows-style
// and POSIX side by side, since the scores depend on the exact text.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>
#include <vector>

#include "paths/Score.h"
#include "paths/ShownPath.h"
#include "paths/modFunctions.h"

namespace orvanta {
namespace {

using namespace paths;

// Each row gives modes 1 to 4; modes 0 and 5 are always "". A dot in a folder is no extension;
// a name without a dot, or a text without a separator, is still a name.
TEST(ParsePath, PiecesOfWindowsAndPosixPaths) {
  for (const auto& c : std::vector<std::vector<std::string>>{
           {R"(C:\Apps\Data\Sales.mdb)", "C:", R"(C:\Apps\Data\)", "Sales", "mdb"},
           {"/srv/data/sales.mdb", "", "/srv/data/", "sales", "mdb"},
           {R"(C:\a\b.c.mdb)", "C:", R"(C:\a\)", "b", "mdb"},
           {R"(C:\x/y\Be.mdb)", "C:", R"(C:\x/y\)", "Be", "mdb"},  // with a "\", "/" is in a name
           {R"(C:\Apps\)", "C:", R"(C:\Apps\)", "", ""},
           {R"(C:\Data.old\file)", "C:", R"(C:\Data.old\)", "file", ""},
           {"Sales.mdb", "", "", "Sales", "mdb"},
           {"Sales", "", "", "Sales", ""},
           {"", "", "", "", ""}})
    for (int mode = 0; mode <= 5; ++mode)
      EXPECT_EQ(ParsePath(c[0], mode), mode % 5 ? c[mode] : "") << c[0] << " mode " << mode;
}

// Folders match only whole and from the start of the target.
TEST(GetRelativePath, WorkedResultsAndPosixCounterparts) {
  for (const auto& c : std::vector<std::vector<std::string>>{
           {R"(C:\App\)", R"(C:\App\Data\Be.mdb)", R"(.\Data\Be.mdb)"},
           {"/app/front/", "/app/data/be.mdb", "../data/be.mdb"},
           {R"(C:\App\)", R"(D:\App\Be.mdb)", ""},
           {R"(c:\App\)", R"(C:\App\Be.mdb)", ""},  // case matters
           {R"(C:\App\)", "C:/App/be.mdb", ""},     // different kinds of path
           {R"(C:\A\B\)", R"(C:\AB\x.mdb)", R"(..\..\AB\x.mdb)"},
           {"/srv/data/front/", "/srv/old/srv/data/be.mdb", "../../old/srv/data/be.mdb"},
           {"", "/app/be.mdb", ""},
           {"app/front/", "apps/x.mdb", "../../apps/x.mdb"}})
    EXPECT_EQ(GetRelativePath(c[0], c[1]), c[2]) << c[0] << " -> " << c[1];
}

TEST(ScoreText, PointsAsTwoDigitPercentOfThirtyCappedAt99) {
  const std::vector<std::pair<int, std::string>> cases = {{0, "00"}, {1, "03"},  {5, "17"},
                                                          {8, "27"}, {29, "97"}, {30, "99"}};
  for (const auto& [points, text] : cases)
    EXPECT_EQ(scoreText(points), text) << points;
}

TEST(TablePoints, ShareOfNeededTablesHalvesToEven) {
  const std::vector<std::array<int, 3>> cases = {
      // {found, needed, points}
      {8, 8, 10}, {4, 8, 5}, {1, 4, 2}, {3, 4, 8}, {1, 3, 3}, {2, 3, 7}, {3, 20, 2}, {0, 0, 0}};
  for (const auto& [found, needed, points] : cases)
    EXPECT_EQ(tablePoints(found, needed), points) << found << " of " << needed;
}

TEST(NamePoints, EqualContainedOrNoneIgnoringCase) {
  for (const auto& [candidate, missing, points] :
       std::vector<std::tuple<std::string, std::string, int>>{
           {R"(C:\New\SALES.MDB)", R"(C:\Old\Sales.mdb)", 10},
           {"/new/Copy of Sales.mdb", "/old/SALES.mdb", 5},
           {R"(C:\New\Sale.mdb)", R"(C:\Old\Sales.mdb)", 0},
           {R"(C:\Sales\Orders.mdb)", R"(C:\Old\Sales.mdb)", 0},
           {"/new/Sales.mdb", "", 0}})  // no missing name: every name would contain ""
    EXPECT_EQ(namePoints(candidate, missing), points) << candidate;
}

// {candidate, missing, saved front end, current front end, points}: the same position relative
// to the front end, then the missing back end's folder, then the front end's folder.
TEST(FolderPoints, SameRelativePositionThenSameFolderThenFrontEndFolder) {
  for (const auto& c : std::vector<std::vector<std::string>>{
           {R"(E:\T\Data\B.mdb)", R"(C:\A\Data\B.mdb)", R"(C:\A\Fe.mdb)", R"(e:\t\Fe.mdb)", "10"},
           {R"(E:\Test\Data\Be.mdb)", R"(C:\App\Data\Be.mdb)", "", R"(E:\Test\Fe.mdb)", "0"},
           {R"(c:\app\DATA\Copy.mdb)", R"(C:\App\Data\Be.mdb)", "", R"(E:\Test\Fe.mdb)", "8"},
           {"/srv/test/be.mdb", "/srv/app/data/be.mdb", "", "/srv/test/fe.mdb", "5"},
           {R"(E:\AX\x.mdb)", R"(C:\AB\x.mdb)", R"(C:\A\B\Fe.mdb)", R"(E:\A\B\Fe.mdb)", "0"},
           {R"(E:\AB\x.mdb)", R"(C:\AB\x.mdb)", R"(C:\A\B\Fe.mdb)", R"(E:\A\B\Fe.mdb)", "10"},
           // Stored on Windows, the front end carried here: drive and host have no position.
           {"/home/me/App/Data/x.mdb", R"(C:\Users\me\App\Data\B.mdb)", R"(C:\Users\me\App\Fe.mdb)",
            "/home/me/App/Fe.mdb", "10"},
           {"/srv/Data/x.mdb", R"(\\host\share\Data\B.mdb)", R"(\\host\share\App\Fe.mdb)",
            "/srv/App/Fe.mdb", "10"}})
    EXPECT_EQ(std::to_string(folderPoints(c[0], c[1], c[2], c[3])), c[4]) << c[0] << " " << c[3];
}

// Up to 50 characters (not bytes) a path is shown whole, as is one with nothing to cut at.
TEST(ShownPath, LongPathsKeepHeadAndTailAroundAnEllipsis) {
  const std::string n50(50, 'n');
  for (const std::string& whole :
       {std::string(R"(C:\Projects\Clients\Northwind\Data\Backend1234.mdb)"),
        std::string("C:\\Donn\303\251es\\Projets\\Clients\\Nord\\Daten\\Backend1.mdb"),
        "C:" + n50 + ".mdb", R"(C:\)" + n50 + ".mdb"})
    EXPECT_EQ(shownPath(whole), whole);
  for (const auto& [path, shown] : std::vector<std::pair<std::string, std::string>>{
           {R"(C:\Projects\Clients\Northwind\Data\Backend12345.mdb)",  // 51
            R"(C:\...\Clients\Northwind\Data\Backend12345.mdb)"},
           {R"(C:\Company\Departments\Finance\Reports\Quarterly\2024\Data\Ledgers.mdb)",  // 70
            R"(C:\...\Reports\Quarterly\2024\Data\Ledgers.mdb)"},
           // Head, next folder and tail would make exactly 48: the folder stays elided.
           {R"(C:\Top\Folder12345\SalesBackEnd_2024_final_copy.mdb)",
            R"(C:\...\SalesBackEnd_2024_final_copy.mdb)"}})
    EXPECT_EQ(shownPath(path), shown) << path;
}

}  // namespace
}  // namespace orvanta
