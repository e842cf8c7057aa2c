// The start-up check at the sizes a real installation reaches, each beside its floor: a healthy
// front end with 200 linked tables over 5 back ends and 3 link sets (against the same files read
// with the plain SQLite API, bench/floor), and a front end whose only back end was renamed inside
// trees of 5,000 and 100,000 files (against `find` and the scoring of what it lists).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/floor/check_floor.h"
#include "dao/dao.h"
#include "orvanta/clsOrvanta.h"
#include "paths/modFunctions.h"
#include "tests/support/Fixtures.h"
#include "ui/wizard/frmFixSet.h"
#include "uikit/form.h"
#include "uikit/script/scripted_desktop.h"

namespace {

using testsupport::Link;

std::string tableName(int i) {
  return "Table" + std::to_string(1000 + i);
}

// One back end holding a range of tables, made in one transaction (file creation, not the check,
// would otherwise dominate the set-up).
void backEndWith(const std::string& path, int first, int count) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  auto db = dao::CreateDatabase(path);
  db->BeginTrans();
  for (int i = first; i < first + count; ++i) {
    db->Execute("CREATE TABLE [" + tableName(i) + "] (ID INTEGER PRIMARY KEY, Name TEXT)");
    db->Execute("INSERT INTO [" + tableName(i) + "] (Name) VALUES ('a'), ('b')");
  }
  db->CommitTrans();
}

void linkAll(const std::string& fe, const std::vector<Link>& links) {
  for (const Link& link : links)
    testsupport::linkTable(fe, link.table, link.backEnd);
}

// The healthy front end: 200 links over 5 back ends, held by 3 link sets (the third holds half).
std::string healthyFrontEnd(const std::string& root) {
  const std::string fe = root + "/app/fe.mdb";
  testsupport::makeFrontEnd(fe);
  std::vector<Link> links;
  for (int b = 0; b < 5; ++b) {
    const std::string be = root + "/data/be" + std::to_string(b) + ".mdb";
    backEndWith(be, b * 40, 40);
    for (int i = b * 40; i < b * 40 + 40; ++i)
      links.push_back({tableName(i), be});
  }
  linkAll(fe, links);
  testsupport::addLinkSet(fe, "Main", "", true, links, fe);
  testsupport::addLinkSet(fe, "Copy", "", false, links, fe);
  testsupport::addLinkSet(fe, "Half", "", false,
                          std::vector<Link>(links.begin(), links.begin() + 100), fe);
  return fe;
}

void BM_HealthyFrontEnd(benchmark::State& bench) {
  testsupport::TempDir dir;
  const std::string fe = healthyFrontEnd(dir.path());
  uikit::script::ScriptedDesktop desk;
  uikit::ScopedDesktop use(desk);
  orvanta::clsOrvanta component;
  for (auto _ : bench) {
    if (component.CheckLinkedTables(fe) != 0 || !desk.shownForms().empty()) {
      bench.SkipWithError("the healthy front end did not pass the check quietly");
      break;
    }
  }
}
BENCHMARK(BM_HealthyFrontEnd)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The floor of the healthy check on the same files.
void BM_HealthyFrontEndFloor(benchmark::State& bench) {
  testsupport::TempDir dir;
  const std::string fe = healthyFrontEnd(dir.path());
  for (auto _ : bench) {
    if (floorcheck::run(fe.c_str()) != 200) {
      bench.SkipWithError("the floor could not read the healthy front end");
      break;
    }
  }
}
BENCHMARK(BM_HealthyFrontEndFloor)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// A front end at root/fe.mdb whose only back end, root/data/be.mdb, was renamed, inside a tree
// of folders x perFolder files: every folder holds one *.mdb (a small database, or in every
// fourth folder a file that merely carries the name) and other files; a few dozen more *.mdb,
// some real, lie beside the renamed one. Returns the front end's path.
std::string renamedInTree(const std::string& root, int folders, int perFolder) {
  const std::string fe = root + "/fe.mdb";
  const std::string be = root + "/data/be.mdb";
  testsupport::makeFrontEnd(fe);
  backEndWith(be, 0, 20);
  std::vector<Link> links;
  for (int i = 0; i < 20; ++i)
    links.push_back({tableName(i), be});
  linkAll(fe, links);
  testsupport::addLinkSet(fe, "Main", "", true, links, fe);
  std::filesystem::rename(be, root + "/data/be-renamed.mdb");

  // The databases in the tree are copies of 30 made once, outside it: making each afresh would
  // take far longer than the searches measured.
  const std::string templates = root + ".templates";
  for (int t = 0; t < 30; ++t)
    backEndWith(templates + "/t" + std::to_string(t) + ".mdb", t, 5);
  for (int folder = 0; folder < folders; ++folder) {
    const std::string path =
        root + "/d" + std::to_string(folder % 10) + "/f" + std::to_string(folder);
    std::filesystem::create_directories(path);
    if (folder % 4 == 3) {
      std::ofstream(path + "/notadb.mdb") << "plain text, not a database";
    } else {
      std::filesystem::copy_file(templates + "/t" + std::to_string(folder % 30) + ".mdb",
                                 path + "/copy" + std::to_string(folder) + ".mdb");
    }
    for (int i = 1; i < perFolder; ++i)
      std::ofstream(path + "/note" + std::to_string(i) + ".txt");
  }
  for (int i = 0; i < 60; ++i) {
    const std::string path = root + "/data/old" + std::to_string(i) + ".mdb";
    if (i % 2 == 0) {
      backEndWith(path, i % 20, 3);
    } else {
      std::ofstream(path) << "junk";
    }
  }
  return fe;
}

// Runs the check on fe, which must show the wizard's first page; returns the candidates offered.
std::size_t checkShowingTheWizard(benchmark::State& bench, uikit::script::ScriptedDesktop& desk,
                                  const std::string& fe) {
  std::size_t candidates = 0;
  desk.onShow("frmWizard1", [&](uikit::Form& page) {
    candidates = uikit::form<orvanta::frmFixSet>().lsvDatabases.Count();
    uikit::script::close(page);
  });
  if (orvanta::clsOrvanta().CheckLinkedTables(fe) != 0 || !desk.failure().empty())
    bench.SkipWithError(("the check did not show the wizard: " + desk.failure()).c_str());
  return candidates;
}

// Arguments: folders, files per folder (250 x 20 = 5,000 files; 2,500 x 40 = 100,000).
void BM_RenamedBackEndInLargeTree(benchmark::State& bench) {
  testsupport::TempDir dir;
  const std::string fe = renamedInTree(dir.file("tree"), static_cast<int>(bench.range(0)),
                                       static_cast<int>(bench.range(1)));
  uikit::script::ScriptedDesktop desk;
  uikit::ScopedDesktop use(desk);
  std::size_t candidates = 0;
  for (auto _ : bench)
    candidates = checkShowingTheWizard(bench, desk, fe);
  bench.counters["candidates"] = static_cast<double>(candidates);
}
BENCHMARK(BM_RenamedBackEndInLargeTree)
    ->Args({250, 20})
    ->Args({2500, 40})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

// The floor of the same search: `find TREE -iname '*.mdb'`, then each file it lists scored
// against the renamed back end as the check scores candidates.
void BM_RenamedBackEndInLargeTreeFloor(benchmark::State& bench) {
  testsupport::TempDir dir;
  const std::string root = dir.file("tree");
  const std::string fe =
      renamedInTree(root, static_cast<int>(bench.range(0)), static_cast<int>(bench.range(1)));
  uikit::script::ScriptedDesktop desk;
  uikit::ScopedDesktop use(desk);
  checkShowingTheWizard(bench, desk, fe);  // leaves the active set's links in the state
  const std::vector<std::string> broken{root + "/data/be.mdb"};
  std::size_t candidates = 0;
  for (auto _ : bench) {
    FILE* find = ::popen(("find '" + root + "' -iname '*.mdb'").c_str(), "r");
    candidates = 0;
    for (char line[4096]; std::fgets(line, sizeof line, find);) {
      std::string file(line);
      file.pop_back();
      int found = 0;
      int needed = 0;
      benchmark::DoNotOptimize(orvanta::BestPriority(file, broken, found, needed));
      ++candidates;
    }
    ::pclose(find);
  }
  bench.counters["candidates"] = static_cast<double>(candidates);
}
BENCHMARK(BM_RenamedBackEndInLargeTreeFloor)
    ->Args({250, 20})
    ->Args({2500, 40})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

}  // namespace

// `check_bench --make-fixture FOLDER` builds the healthy front end and its back ends in FOLDER
// (kept) and prints the front end's path, for timing whole processes and for profilers.
int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--make-fixture") {
    std::printf("%s\n", healthyFrontEnd(argv[2]).c_str());
    return 0;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
