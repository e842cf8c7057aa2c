// ParsePath and GetRelativePath: the scores depend on their exact text, so every case is a
// literal result, Windows-style and POSIX side by side.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "paths/modFunctions.h"

namespace orvanta {
namespace {

struct ParseCase {
  std::string path;
  int mode;
  std::string expected;
};

void expectPieces(const std::vector<ParseCase>& cases) {
  for (const auto& c : cases) {
    EXPECT_EQ(ParsePath(c.path, c.mode), c.expected) << c.path << " mode " << c.mode;
  }
}

TEST(ParsePath, PiecesOfWindowsAndPosixPaths) {
  expectPieces({
      {R"(C:\Apps\Data\Sales.mdb)", 1, "C:"},
      {R"(C:\Apps\Data\Sales.mdb)", 2, R"(C:\Apps\Data\)"},
      {R"(C:\Apps\Data\Sales.mdb)", 3, "Sales"},
      {R"(C:\Apps\Data\Sales.mdb)", 4, "mdb"},
      {R"(C:\Apps\Data\Sales.mdb)", 0, ""},
      {R"(C:\Apps\Data\Sales.mdb)", 5, ""},
      {"/srv/data/sales.mdb", 1, ""},
      {"/srv/data/sales.mdb", 2, "/srv/data/"},
      {"/srv/data/sales.mdb", 3, "sales"},
      {"/srv/data/sales.mdb", 4, "mdb"},
      {R"(\\server\share\Sales.mdb)", 1, ""},
      {"Sales.mdb", 2, ""},
      {R"(C:\Apps\)", 2, R"(C:\Apps\)"},
      {"/srv/apps/", 2, "/srv/apps/"},
      {R"(C:\a\b.c.mdb)", 3, "b"},
      {"/a/b.c.mdb", 3, "b"},
      {"/a/b.c.mdb", 4, "mdb"},
      // With a backslash present, "/" is part of a name.
      {R"(C:\x/y\Be.mdb)", 2, R"(C:\x/y\)"},
  });
}

// A dot in a folder is no extension; a name without a dot, or a text without a separator, is
// still a name.
TEST(ParsePath, NameAndExtensionComeFromTheFileNameOnly) {
  expectPieces({
      {R"(C:\Data.old\file)", 4, ""},
      {"/data.old/file", 4, ""},
      {R"(C:\Data.old\file)", 3, "file"},
      {"/data.old/file", 3, "file"},
      {"Sales.mdb", 3, "Sales"},
      {"Sales", 3, "Sales"},
      {R"(C:\Data\)", 3, ""},
      {"", 3, ""},
  });
}

struct RelativeCase {
  std::string base, target, expected;
};

void expectRelative(const std::vector<RelativeCase>& cases) {
  for (const auto& c : cases) {
    EXPECT_EQ(GetRelativePath(c.base, c.target), c.expected) << c.base << " -> " << c.target;
  }
}

TEST(GetRelativePath, WorkedResultsAndPosixCounterparts) {
  expectRelative({
      {R"(C:\App\)", R"(C:\App\Data\Be.mdb)", R"(.\Data\Be.mdb)"},
      {R"(C:\App\)", R"(C:\App\Be.mdb)", R"(.\Be.mdb)"},
      {R"(C:\App\Front\)", R"(C:\App\Data\Be.mdb)", R"(..\Data\Be.mdb)"},
      {R"(C:\A\B\C\)", R"(C:\X\Be.mdb)", R"(..\..\..\X\Be.mdb)"},
      {R"(C:\App\)", R"(D:\App\Be.mdb)", ""},
      {R"(c:\App\)", R"(C:\App\Be.mdb)", ""},  // case matters
      {R"(\\srv\share\app\)", R"(\\srv\share\data\Be.mdb)", R"(..\data\Be.mdb)"},
      {"/app/", "/app/data/be.mdb", "./data/be.mdb"},
      {"/app/", "/app/be.mdb", "./be.mdb"},
      {"/app/front/", "/app/data/be.mdb", "../data/be.mdb"},
      {"/a/b/c/", "/x/be.mdb", "../../../x/be.mdb"},  // up to the root, down after it
      {"/", "/be.mdb", "./be.mdb"},
      {"/app/", "app/be.mdb", ""},
      {"/App/", "/app/be.mdb", "../app/be.mdb"},
      {R"(C:\App\)", "C:/App/be.mdb", ""},  // different kinds of path
  });
}

// A folder matches only whole and from the start of the target.
TEST(GetRelativePath, FoldersMatchWholeAndFromTheStart) {
  expectRelative({
      {R"(C:\A\B\)", R"(C:\AB\x.mdb)", R"(..\..\AB\x.mdb)"},
      {"/a/b/", "/ab/x.mdb", "../../ab/x.mdb"},
      {R"(\Data\)", R"(\Backup\Data\Be.mdb)", R"(..\Backup\Data\Be.mdb)"},
      {"/srv/data/front/", "/srv/old/srv/data/be.mdb", "../../old/srv/data/be.mdb"},
  });
}

TEST(GetRelativePath, LooseBasesAndRelativePaths) {
  expectRelative({
      {R"(C:\App)", R"(C:\App\Be.mdb)", R"(.\Be.mdb)"},
      {R"(C:\App\Front\)", R"(C:\App\)", R"(..\)"},
      {"", "/app/be.mdb", ""},
      {"app/front/", "apps/x.mdb", "../../apps/x.mdb"},
      {R"(App\Front\)", R"(Apps\x.mdb)", R"(..\..\Apps\x.mdb)"},
  });
}

}  // namespace
}  // namespace orvanta
