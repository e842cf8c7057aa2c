// Common ground for the search suites: the real file system, except that the test gives the mount
// table and home folder (so drives are temporary folders) and may serve some folders' listings
// itself; a clean search state and window list around each test.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "fs/fs.h"
#include "search/SearchShared.h"
#include "tests/support/TempDir.h"
#include "uikit/form.h"

namespace orvanta {

class TestDrives : public vfs::FileSystemWrapper {
 public:
  TestDrives() : FileSystemWrapper(vfs::native()) {}

  std::vector<vfs::Mount> mounts;
  std::string home;
  // Listings served instead of the disk's, by folder path with its trailing "/".
  std::map<std::string, std::vector<vfs::FindData>> listings;

  std::vector<std::string> Drives() override { return vfs::driveList(mounts, home); }
  std::vector<vfs::Mount> Mounts() override { return mounts; }
  std::unique_ptr<vfs::FindEnumeration> Find(const std::string& folder,
                                             std::error_code& error) override {
    const auto served = listings.find(folder);
    if (served == listings.end())
      return target().Find(folder, error);
    struct Served : vfs::FindEnumeration {
      explicit Served(const std::vector<vfs::FindData>& e) : entries(e) {}
      bool Next(vfs::FindData& entry) override {
        if (at == entries.size())
          return false;
        entry = entries[at++];
        return true;
      }
      const std::vector<vfs::FindData>& entries;
      std::size_t at = 0;
    };
    return std::make_unique<Served>(served->second);
  }
};

// A search not stopped yet, yielding at every folder and match so that its steps are countable;
// the usual yielding again afterwards.
struct CountableSearch {
  CountableSearch() {
    searchShared().stopFlag = false;
    searchShared().yieldEvery = {};
  }
  ~CountableSearch() { searchShared().yieldEvery = SearchShared{}.yieldEvery; }
};

class SearchTest : public ::testing::Test {
 protected:
  void SetUp() override { uikit::unloadAllForms(); }
  void TearDown() override {
    uikit::unloadAllForms();
    uikit::FormRegistry::current().collect();
  }
  // Creates empty files and folders (ending in "/"), each relative to the temporary folder, with
  // their parents; returns the full paths of the files.
  std::vector<std::string> make(const std::vector<std::string>& entries) const {
    std::vector<std::string> files;
    for (const std::string& entry : entries) {
      if (entry.ends_with("/")) {
        dir.mkdir(entry);
        continue;
      }
      const auto slash = entry.rfind('/');
      if (slash != std::string::npos)
        dir.mkdir(entry.substr(0, slash));
      std::ofstream(dir.file(entry)) << "";
      files.push_back(dir.file(entry));
    }
    return files;
  }
  std::string root() const { return dir.path() + "/"; }

  CountableSearch countable;
  testsupport::TempDir dir;
  TestDrives drives;
  vfs::ScopedFileSystem useDrives{drives};
};

}  // namespace orvanta
