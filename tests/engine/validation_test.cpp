// Link validation and the analysis steps of the start-up check, one procedure at a time, on
// real files: verdicts, the Fix Set page's lists, the candidate searches, set matching, counts.
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <optional>

#include "fs/fs.h"
#include "tests/engine/check_support.h"
#include "ui/wizard/frmSwitchSet.h"

namespace checktest {
namespace {

namespace fsys = std::filesystem;
using orvanta::frmFixSet;

class Validation : public CheckTest {};

TEST_F(Validation, EverySetGetsItsVerdict) {
  const std::string be = at("app/data/be.mdb");
  testsupport::makeBackEnd(be, {"Customers", "Order Details"});
  const std::string fe = frontEnd("app/fe.mdb", {{"Customers", be}});
  // A quote in a set name and a blank in a table name must not break the statements.
  testsupport::addLinkSet(fe, "O'Neil", "", true, {{"Customers", be}, {"Order Details", be}});
  testsupport::addLinkSet(fe, "NoTable", "", false, {{"Customers", be}, {"Missing", be}});
  testsupport::addLinkSet(fe, "Empty", "", false, {});
  testsupport::addLinkSet(fe, "NoFile", "", false, {{"Customers", dir.file("app/x.mdb")}});
  useFrontEnd(fe, "O'Neil");

  EXPECT_TRUE(orvanta::ValidateLinkSets());
  EXPECT_TRUE(orvanta::state().activeSetValid);
  std::vector<bool> valid;
  for (const auto& row : testsupport::linkSets(fe))
    valid.push_back(row.valid);
  EXPECT_EQ(valid, (std::vector<bool>{true, false, true, false}));

  frmFixSet& page = uikit::form<frmFixSet>();
  ASSERT_EQ(page.lstTables.ListCount(), 2);
  EXPECT_EQ(page.lstTables.List(1), "Order Details (" + be + ")");
  EXPECT_EQ(page.lstTables.SelCount(), 0);
  EXPECT_EQ(page.txtDatabasePath.Text, "");
  EXPECT_EQ(page.lsvDatabases.Count(), 0);
}

TEST_F(Validation, ABrokenActiveSetPreparesTheFixSetPage) {
  const std::string good = at("app/data/good.mdb");
  const std::string half = at("app/data/half.mdb");  // exists but lacks Orders
  const std::string missing = dir.file("app/be.mdb");
  testsupport::makeBackEnd(good, {"Customers"});
  testsupport::makeBackEnd(half, {"Customers"});
  testsupport::makeBackEnd(at("app/data/spare.mdb"), tables);
  testsupport::makeBackEnd(at("app/copy.mdb"), tables);
  testsupport::makeBackEnd(at("app/sub/deep.MDB"), tables);
  testsupport::makeBackEnd(at("app/sub/notes.txt"), tables);
  const std::string fe = frontEnd("app/fe.mdb", {});
  testsupport::addLinkSet(
      fe, "Main", "", true,
      {{"Customers", good}, {"Orders", half}, {"Extra", missing}, {"Other", missing}});
  useFrontEnd(fe, "Main");

  EXPECT_FALSE(orvanta::ValidateLinkSets());
  frmFixSet& page = uikit::form<frmFixSet>();
  std::vector<std::string> rows;
  std::vector<long> data;
  for (int i = 0; i < page.lstTables.ListCount(); ++i) {
    rows.push_back(page.lstTables.List(i));
    data.push_back(page.lstTables.ItemData(i));
    EXPECT_EQ(page.lstTables.Selected(i), i == 0);
  }
  EXPECT_EQ(rows, (std::vector<std::string>{"Customers (" + good + ")", "Orders ()", "Extra ()",
                                            "Other ()"}));
  EXPECT_EQ(data, (std::vector<long>{1, 0, 0, 0}));
  EXPECT_EQ(page.lstTables.ListIndex, -1);
  EXPECT_EQ(page.txtDatabasePath.Text, half);
  EXPECT_EQ(page.txtDatabasePath.ToolTipText, half);
  EXPECT_FALSE(orvanta::state().tableChangeGuard);
  // Beside both broken back ends and below the front end, each file once, never the front end
  // itself, whatever the letter case of the extension.
  EXPECT_EQ(sorted(storePaths()), (std::vector<std::string>{dir.file("app/copy.mdb"), good, half,
                                                            dir.file("app/data/spare.mdb"),
                                                            dir.file("app/sub/deep.MDB")}));
  EXPECT_EQ(page.lstDatabases.ListCount(), 5);
}

// A folder the search may not read: made unreadable for real, or by a file system that refuses.
class Unreadable : public vfs::FileSystemWrapper {
 public:
  Unreadable(std::string folder) : FileSystemWrapper(vfs::native()), folder_(std::move(folder)) {}
  vfs::ListResult List(const std::string& folder, const std::string& pattern,
                       unsigned mask) override {
    if (folder == folder_)
      return {{}, std::make_error_code(std::errc::permission_denied)};
    return target().List(folder, pattern, mask);
  }

 private:
  std::string folder_;
};

class TreeSearch : public Validation, public ::testing::WithParamInterface<bool> {};

TEST_P(TreeSearch, FollowsNoLinksAndPassesOverWhatItCannotRead) {
  const bool realPermissions = GetParam();
  if (realPermissions && geteuid() == 0)
    GTEST_SKIP() << "root reads any folder";
  for (const char* file :
       {"t/a.mdb", "t/sub/b.mdb", "t/.hidden/h.mdb", "t/locked/l.mdb", "outside/c.mdb"}) {
    testsupport::makeBackEnd(at(file), tables);
  }
  const std::string fe = frontEnd("t/fe.mdb", {});
  fsys::create_directory_symlink(dir.file("t"), dir.file("t/sub/loop"));
  fsys::create_directory_symlink(dir.file("outside"), dir.file("t/out"));
  useFrontEnd(fe, "");

  Unreadable refusing(dir.file("t/locked/"));
  std::optional<vfs::ScopedFileSystem> use;
  if (realPermissions) {
    ASSERT_EQ(chmod(dir.file("t/locked").c_str(), 0), 0);
  } else {
    use.emplace(refusing);
  }
  std::string folder = dir.file("t");
  orvanta::SearchFolderTree(folder, "*.mdb");
  EXPECT_EQ(folder, dir.file("t/"));
  EXPECT_EQ(sorted(storePaths()),
            (std::vector<std::string>{dir.file("t/.hidden/h.mdb"), dir.file("t/a.mdb"),
                                      dir.file("t/sub/b.mdb")}));
  EXPECT_TRUE(desk.messages().empty());
}

INSTANTIATE_TEST_SUITE_P(Unreadable, TreeSearch, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Chmod" : "Injected"; });

TEST_F(Validation, SameRelativePositionNeedsEveryBackEndWithItsTables) {
  struct Case {
    const char* name;
    std::vector<Link> links;                                              // relative to old/
    std::vector<std::pair<const char*, std::vector<std::string>>> files;  // relative to new/
    bool expected;
  };
  const std::vector<Case> cases = {
      {"two links, one back end",
       {{"Customers", "Data/be.mdb"}, {"Orders", "Data/be.mdb"}},
       {{"Data/be.mdb", {"Customers", "Orders"}}},
       true},
      {"spread over two back ends",
       {{"Customers", "Data/a.mdb"}, {"Orders", "Lookup/b.mdb"}},
       {{"Data/a.mdb", {"Customers"}}, {"Lookup/b.mdb", {"Orders"}}},
       true},
      {"second back end missing",
       {{"Customers", "Data/a.mdb"}, {"Orders", "Lookup/b.mdb"}},
       {{"Data/a.mdb", {"Customers"}}},
       false},
      {"a table missing",
       {{"Customers", "Data/be.mdb"}, {"Orders", "Data/be.mdb"}},
       {{"Data/be.mdb", {"Customers"}}},
       false},
      {"beside the front end's folder",
       {{"Customers", "../Shared/be.mdb"}},
       {{"../Shared/be.mdb", {"Customers"}}},
       true},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string root = "case" + std::to_string(++n) + "/";
    const auto place = [&](const std::string& relative) {
      return fsys::path(dir.file(root + relative)).lexically_normal().string();
    };
    std::vector<Link> links;
    for (const Link& link : c.links)
      links.push_back({link.table, place("old/app/" + link.backEnd)});
    std::vector<std::string> expected;
    for (const auto& [file, held] : c.files) {
      expected.push_back(place(std::string("new/app/") + file));
      testsupport::makeBackEnd(expected.back(), held);
    }
    const std::string fe = frontEnd(root + "new/app/fe.mdb", {});
    testsupport::addLinkSet(fe, "Main", "", true, links);
    useFrontEnd(fe, "Main", dir.file(root + "old/app/fe.mdb"));
    uikit::unloadAllForms();

    EXPECT_EQ(orvanta::CheckRelativePath(), c.expected);
    if (c.expected) {
      // Found under the folders' own letter case, each candidate once.
      EXPECT_EQ(sorted(storePaths()), sorted(expected));
      EXPECT_EQ(uikit::form<frmFixSet>().txtDatabasePath.Text, links[0].backEnd);
    }
  }
}

TEST_F(Validation, MatchingSetsAreOfferedForSwitching) {
  const std::string be = at("app/data/be.mdb");
  const std::string fe = frontEnd("app/fe.mdb", {{"Customers", be}, {"Orders", be}});
  std::string shouted = be;
  for (char& ch : shouted)
    ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  testsupport::addLinkSet(fe, "Main", "", true, {{"Customers", be}, {"Orders", be}});
  testsupport::addLinkSet(fe, "Shouted", "", false, {{"Orders", shouted}, {"Customers", shouted}});
  testsupport::addLinkSet(fe, "Fewer", "", false, {{"Customers", be}});
  testsupport::addLinkSet(fe, "More", "", false,
                          {{"Customers", be}, {"Orders", be}, {"Extra", be}});
  testsupport::addLinkSet(fe, "TableCase", "", false, {{"customers", be}, {"Orders", be}});
  testsupport::addLinkSet(fe, "Empty", "", false, {});
  testsupport::addLinkSet(fe, "Again", "", false, {{"Customers", be}, {"Orders", be}});
  useFrontEnd(fe, "Main");

  orvanta::MatchLinkSets();
  EXPECT_EQ(orvanta::state().matchingSetCount, 3);
  EXPECT_TRUE(orvanta::state().activeSetMatches);
  const auto& offered = uikit::form<orvanta::frmSwitchSet>().lstValidSets;
  std::vector<std::string> names;
  for (int i = 0; i < offered.ListCount(); ++i)
    names.push_back(offered.List(i));
  EXPECT_EQ(names, (std::vector<std::string>{"Shouted", "Again"}));
}

TEST_F(Validation, LinkCountsAndCurrentLinks) {
  const std::string be = at("app/data/be.mdb");
  testsupport::makeBackEnd(be, {"Customers", "Order Details", "Extra"});
  const std::string fe = frontEnd("app/fe.mdb", {{"Customers", be}, {"Order Details", be}});
  testsupport::addLinkSet(fe, "One", "", false, {{"Customers", be}});
  testsupport::addLinkSet(fe, "Two", "", false, {{"Customers", be}, {"Extra", be}});
  testsupport::addLinkSet(fe, "Three", "", false,
                          {{"Customers", be}, {"Extra", be}, {"Order Details", be}});
  for (const auto& [set, expected] : {std::pair{"One", 2}, {"Two", 3}, {"Three", 1}}) {
    useFrontEnd(fe, set);
    EXPECT_EQ(orvanta::CompareLinkCounts(), expected) << set;
  }

  EXPECT_TRUE(orvanta::CheckCurrentLinks());
  EXPECT_TRUE(orvanta::state().linkedTablesPresent);
  fsys::remove(be);
  EXPECT_FALSE(orvanta::CheckCurrentLinks());
  EXPECT_TRUE(orvanta::state().linkedTablesPresent);

  useFrontEnd(frontEnd("bare/fe.mdb", {}), "");
  EXPECT_FALSE(orvanta::CheckCurrentLinks());
  EXPECT_FALSE(orvanta::state().linkedTablesPresent);
}

}  // namespace
}  // namespace checktest
