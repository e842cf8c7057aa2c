// The drive search over a generated tree of 100,000 files in 2,500 folders (50 of the files
// *.mdb): FindAll as the search dialog runs it (its status panel written, yielding to the
// desktop), beside the floor, a plain opendir/readdir recursion matching the same pattern.
// Both walk the same tree in the same process, so the page cache serves them alike.
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "fs/fs.h"
#include "search/clsFileSearch.h"
#include "search/frmSearch.h"
#include "uikit/form.h"

namespace {

constexpr int kTopFolders = 50;
constexpr int kSubFolders = 49;  // under each top folder: 50 + 50 * 49 = 2,500 folders
constexpr int kFilesPerFolder = 40;

// The tree, made once per run and removed at exit.
class Tree {
 public:
  Tree() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "vantrel-search-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
      throw std::runtime_error("mkdtemp failed");
    root_ = pattern + "/";
    for (int t = 0; t < kTopFolders; ++t) {
      const std::string top = root_ + "top" + std::to_string(t) + "/";
      fill(top, true);
      for (int s = 0; s < kSubFolders; ++s)
        fill(top + "sub" + std::to_string(s) + "/", false);
    }
  }
  ~Tree() { std::filesystem::remove_all(root_); }
  const std::string& root() const { return root_; }

 private:
  static void fill(const std::string& folder, bool withDatabase) {
    std::filesystem::create_directories(folder);
    for (int f = 0; f < kFilesPerFolder; ++f) {
      const bool database = withDatabase && f == 0;
      std::ofstream(folder + "file" + std::to_string(f) + (database ? ".mdb" : ".txt"));
    }
  }
  std::string root_;
};

const Tree& tree() {
  static const Tree instance;
  return instance;
}

void floorWalk(const std::string& folder, std::vector<std::string>& found) {
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr)
    return;
  std::vector<std::string> subfolders;
  while (dirent* entry = readdir(dir)) {
    if (entry->d_name[0] == '.')
      continue;
    if (entry->d_type == DT_DIR)
      subfolders.push_back(folder + entry->d_name + "/");
    else if (entry->d_type == DT_REG && vfs::matchesPattern(entry->d_name, "*.MDB"))
      found.push_back(folder + entry->d_name);
  }
  closedir(dir);
  for (const std::string& sub : subfolders)
    floorWalk(sub, found);
}

void BM_Floor(benchmark::State& state) {
  const std::string& root = tree().root();
  for (auto _ : state) {
    std::vector<std::string> found;
    floorWalk(root, found);
    if (found.size() != kTopFolders)
      state.SkipWithError("the floor found the wrong files");
    benchmark::DoNotOptimize(found);
  }
}
BENCHMARK(BM_Floor)->Unit(benchmark::kMillisecond);

void BM_FindAll(benchmark::State& state) {
  const std::string& root = tree().root();
  uikit::form<orvanta::frmSearch>();  // the status panel the search writes
  orvanta::clsFileSearch search;
  search.FileSpec = "*.MDB";
  search.Path = root;
  for (auto _ : state) {
    std::vector<std::string> found;
    if (!search.FindAll(found) || found.size() != kTopFolders + 1)
      state.SkipWithError(("FindAll found " + std::to_string(found.size())).c_str());
    benchmark::DoNotOptimize(found);
  }
  uikit::unloadAllForms();
}
BENCHMARK(BM_FindAll)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
