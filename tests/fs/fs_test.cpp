// The file-system layer: the listing filters, and what the native listing reports for the kinds
// of entries a search meets (hidden, read-only, special, linked, missing, unreadable).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "fs/fs.h"
#include "tests/support/TempDir.h"

namespace {

namespace fsys = std::filesystem;

TEST(Pattern, WildcardsIgnoreLetterCase) {
  const struct {
    const char* name;
    const char* pattern;
    bool matches;
  } cases[] = {
      {"Sales.MDB", "*.mdb", true},
      {"a.mdbx", "*.mdb", false},
      {".mdb", "*.mdb", true},
      {"", "*", true},
      {"ab", "a?", true},
      {"a", "a?", false},
      {"be.old", "*.", false},
      {"a.mdb", "*.*", true},
      {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaac", "*a*a*a*a*a*a*a*b", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(vfs::matchesPattern(c.name, c.pattern), c.matches) << c.name << " ~ " << c.pattern;
}

TEST(NativeListing, ReportsWhatASearchNeedsToKnow) {
  testsupport::TempDir dir;
  std::ofstream(dir.file("b.MDB")) << "12345";
  for (const char* name : {"a.mdb", ".hidden.mdb", "ro.mdb", "notes.txt"})
    std::ofstream{dir.file(name)};
  chmod(dir.file("ro.mdb").c_str(), 0444);
  dir.mkdir("Sub.mdb");
  ASSERT_EQ(mkfifo(dir.file("pipe.mdb").c_str(), 0644), 0);
  fsys::create_directory_symlink(dir.path(), dir.file("loop.mdb"));
  fsys::create_symlink(dir.file("nowhere"), dir.file("dangling.mdb"));
  vfs::FileSystem& native = vfs::native();

  const vfs::ListResult all = native.List(dir.path(), "*.mdb", vfs::kAllEntries);
  EXPECT_FALSE(all.error);
  std::vector<std::pair<std::string, unsigned>> seen;
  for (const vfs::Entry& e : all.entries)
    seen.emplace_back(e.name, e.attributes);
  // Read-only by its mode, even for root; a special file is a system file.
  EXPECT_EQ(seen, (std::vector<std::pair<std::string, unsigned>>{
                      {".hidden.mdb", vfs::kHidden},
                      {"a.mdb", 0},
                      {"b.MDB", 0},
                      {"loop.mdb", vfs::kDirectory | vfs::kSymbolicLink},
                      {"pipe.mdb", vfs::kSystem},
                      {"ro.mdb", vfs::kReadOnly},
                      {"Sub.mdb", vfs::kDirectory}}));
  EXPECT_EQ(all.entries[2].size, 5u);

  // Files only, without hidden or system entries: the classic default listing.
  std::vector<std::string> names;
  for (const vfs::Entry& e : native.List(dir.path() + "/", "*.mdb", vfs::kReadOnly).entries)
    names.push_back(e.name);
  EXPECT_EQ(names, (std::vector<std::string>{"a.mdb", "b.MDB", "ro.mdb"}));

  EXPECT_EQ(native.Attributes(dir.file("loop.mdb")), vfs::kDirectory | vfs::kSymbolicLink);
  EXPECT_EQ(native.Attributes(dir.file("dangling.mdb")), std::nullopt);
  EXPECT_EQ(native.FileLength(dir.file("b.MDB")), 5u);
  EXPECT_EQ(native.FileLength(dir.file("Sub.mdb")), std::nullopt);
}

TEST(NativeListing, AFolderThatCannotBeListedIsEmptyWithAReason) {
  testsupport::TempDir dir;
  auto missing = vfs::native().List(dir.file("missing"), "*", vfs::kAllEntries);
  EXPECT_TRUE(missing.entries.empty());
  EXPECT_EQ(missing.error, std::errc::no_such_file_or_directory);
  EXPECT_EQ(vfs::native().List("", "*", vfs::kAllEntries).error,
            std::errc::no_such_file_or_directory);

  // A folder its reader may not open. Root opens anything, so under root the listing runs in a
  // child process that has given root up.
  chmod(dir.path().c_str(), 0755);
  const std::string locked = dir.mkdir("locked");
  std::ofstream(locked + "/x.mdb") << "";
  chmod(locked.c_str(), 0);
  const auto listLocked = [&] {
    auto refused = vfs::native().List(locked, "*", vfs::kAllEntries);
    auto parent = vfs::native().List(dir.path(), "*", vfs::kAllEntries);
    return refused.entries.empty() && refused.error == std::errc::permission_denied &&
           parent.entries.size() == 1 && (parent.entries[0].attributes & vfs::kDirectory) != 0;
  };
  if (geteuid() != 0) {
    EXPECT_TRUE(listLocked());
    return;
  }
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const bool ok = setgid(65534) == 0 && setuid(65534) == 0 && listLocked();
    _exit(ok ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

// Drives are the home folder and real file systems; kernel interfaces, run-time state (except
// removable media) and repeated mount points are left out.
TEST(Drives, HomeThenRealFileSystems) {
  const std::vector<vfs::Mount> table{
      {"/", "ext4"},          {"/proc/", "proc"},  {"/sys/fs/cgroup/", "cgroup2"},
      {"/dev/shm/", "tmpfs"}, {"/run/", "tmpfs"},  {"/run/media/ann/USB/", "vfat"},
      {"/runner/", "xfs"},    {"/tmp/", "tmpfs"},  {"/srv/data", "nfs4"},
      {"/mnt/x/", "autofs"},  {"/mnt/x/", "ext4"}, {"/var/lib/box/", "binfmt_misc"}};
  const std::vector<std::string> real{"/",     "/run/media/ann/USB/", "/runner/",
                                      "/tmp/", "/srv/data/",          "/mnt/x/"};
  struct Case {
    std::string home;
    std::vector<std::string> first;  // what comes before the real file systems
  };
  for (const Case& c : std::vector<Case>{{"/home/ann", {"/home/ann/"}},
                                         {"/home/ann/", {"/home/ann/"}},
                                         {"", {}},
                                         {"/srv/data", {}},  // a mount point: listed as such
                                         {"/", {}}}) {
    std::vector<std::string> expected = c.first;
    expected.insert(expected.end(), real.begin(), real.end());
    EXPECT_EQ(vfs::driveList(table, c.home), expected) << c.home;
  }
}

}  // namespace
