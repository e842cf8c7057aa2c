// The search engine over real folder trees: what it finds and in which order, what it never
// enters, ending early from its own event, and folders that fight back.
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "search/clsFileSearch.h"
#include "tests/search/SearchSupport.h"
#include "uikit/script/scripted_desktop.h"

namespace orvanta {
namespace {

namespace fsys = std::filesystem;

class FileSearchTest : public SearchTest {
 protected:
  // Runs a search of folder for "*.MDB", recording the events.
  bool find(const std::string& folder, std::vector<std::string>& list) {
    search.Path = folder;
    search.FileSpec = "*.MDB";
    search.BeginFindFiles = [this] { events.push_back("begin"); };
    search.FoundFile = [this](std::string& file, bool& cancel) {
      events.push_back(file);
      if (onFound)
        onFound(cancel);
    };
    search.EndFindFiles = [this](std::int32_t& count) {
      events.push_back("end " + std::to_string(count));
    };
    return search.FindAll(list);
  }
  clsFileSearch search;
  std::vector<std::string> events;
  std::function<void(bool& cancel)> onFound;
  uikit::script::ScriptedDesktop desk;
  uikit::ScopedDesktop useDesk{desk};
};

// Depth first along a chain of folders (a folder's matches before its subfolder's), regular
// files only, in any letter case or bytes; never a dot folder, a link to a folder or a folder
// named like a database. With nothing to search FindAll is false and raises nothing.
TEST_F(FileSearchTest, FindsRegularFilesDepthFirst) {
  std::vector<std::string> list{"untouched"};
  EXPECT_FALSE(search.FindAll(list));
  const std::vector<std::string> expected =
      make({"a.mdb", "B.MDB", ".dot.mdb", "bad\nname.mdb", "\xff\xfe.mdb", "sub/c.Mdb",
            "sub/deeper/d.mdb", "sub/deeper/e.mdb"});
  make({"notes.txt", ".hidden/h.mdb", "sub/.git/i.mdb", "dir.mdb/"});
  ASSERT_EQ(mkfifo(dir.file("pipe.mdb").c_str(), 0644), 0);
  fsys::create_directory_symlink(dir.path(), dir.file("loop"));
  fsys::create_directory_symlink(dir.file("sub"), dir.file("linked.mdb"));
  fsys::create_symlink(dir.file("nowhere"), dir.file("dangling.mdb"));
  EXPECT_EQ(list, std::vector<std::string>{"untouched"});
  ASSERT_TRUE(find(dir.path(), list));  // no trailing "/": one is added

  ASSERT_EQ(list.size(), expected.size() + 1);
  EXPECT_EQ(list[0], "");
  EXPECT_EQ(std::set<std::string>(list.begin() + 1, list.end()),
            std::set<std::string>(expected.begin(), expected.end()));
  std::vector<long> depths;
  for (auto file = list.begin() + 1; file != list.end(); ++file)
    depths.push_back(std::count(file->begin() + root().size(), file->end(), '/'));
  EXPECT_TRUE(std::is_sorted(depths.begin(), depths.end()));
  std::vector<std::string> raised{"begin"};
  raised.insert(raised.end(), list.begin() + 1, list.end());
  raised.push_back("end " + std::to_string(expected.size()));
  EXPECT_EQ(events, raised);
}

// Cancel from FoundFile and FindAll called from FoundFile each end the search after the second
// file: the partial list comes back with true and EndFindFiles is raised once. (The dialog's Stop
// is the dialog test's.)
TEST_F(FileSearchTest, EndsEarlyFromFoundFile) {
  const auto files = make({"0.mdb", "a/1.mdb", "a/b/2.mdb", "a/b/c/3.mdb"});
  for (const std::string how : {"cancel", "again"}) {
    events.clear();
    bool innerResult = true;
    std::vector<std::string> inner{"untouched"};
    onFound = [&](bool& cancel) {
      if (events.size() != 3)
        return;
      if (how == "cancel")
        cancel = true;
      else
        innerResult = search.FindAll(inner);
    };
    std::vector<std::string> list;
    ASSERT_TRUE(find(root(), list)) << how;
    EXPECT_EQ(list, (std::vector<std::string>{"", files[0], files[1]})) << how;
    EXPECT_EQ(events.size(), 4u) << how;  // begin, two files, one end
    EXPECT_EQ(events.back(), "end 2") << how;
    EXPECT_FALSE(search.Searching()) << how;
    EXPECT_EQ(innerResult, how == "cancel");
    EXPECT_EQ(inner, std::vector<std::string>{"untouched"});
  }
}

// A folder that vanishes between being listed and being opened, and a listing that ends part
// way, cost only what was in them; a folder with more subfolders than a 16-bit count holds is
// walked to its last one. (Mount points, where a search stops, are the dialog test's.)
TEST_F(FileSearchTest, VanishingFoldersAndHugeFolders) {
  const std::string r = make({"r.mdb"}).at(0);
  std::vector<std::string> list;
  using vfs::kDirectory;
  const std::string huge = root() + "huge/";
  auto& entries = drives.listings[huge];
  for (int i = 0; i < 32770; ++i)
    entries.push_back({"d" + std::to_string(i), kDirectory});
  drives.listings[huge + "d32769/"] = {{"last.mdb", 0}};
  drives.listings[root() + "gone/"] = {{"x.mdb", 0}, {"vanished", kDirectory}};
  drives.listings[root()] = {{"huge", kDirectory}, {"gone", kDirectory}, {"r.mdb", 0}};
  ASSERT_TRUE(find(root(), list));
  EXPECT_EQ(std::set<std::string>(list.begin(), list.end()),
            (std::set<std::string>{"", r, root() + "gone/x.mdb", huge + "d32769/last.mdb"}));
}

}  // namespace
}  // namespace orvanta
