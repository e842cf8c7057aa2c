// The start-up check at the sizes a real installation reaches: a healthy front end with 200
// linked tables over 5 back ends and 3 link sets, measured beside its floor (the same files read
// with the plain SQLite API, bench/floor), and a front end whose only back end was renamed inside
// a tree of 5,000 files (a few hundred of them *.mdb, most of those real databases).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/floor/check_floor.h"
#include "dao/dao.h"
#include "engine/ComponentState.h"
#include "engine/clsOrvanta.h"
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

void BM_RenamedBackEndInLargeTree(benchmark::State& bench) {
  testsupport::TempDir dir;
  const std::string root = dir.file("tree");
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

  // 5,000 files in 250 folders, 20 files each: every folder holds one *.mdb (a small database,
  // or in every fourth folder a file that merely carries the name) and 19 other files.
  for (int folder = 0; folder < 250; ++folder) {
    const std::string path =
        root + "/d" + std::to_string(folder % 10) + "/f" + std::to_string(folder);
    std::filesystem::create_directories(path);
    if (folder % 4 == 3) {
      std::ofstream(path + "/notadb.mdb") << "plain text, not a database";
    } else {
      backEndWith(path + "/copy" + std::to_string(folder) + ".mdb", folder % 30, 5);
    }
    for (int i = 0; i < 19; ++i)
      std::ofstream(path + "/note" + std::to_string(i) + ".txt") << "x";
  }
  // A few hundred more *.mdb beside the renamed one, some real.
  for (int i = 0; i < 60; ++i) {
    const std::string path = root + "/data/old" + std::to_string(i) + ".mdb";
    if (i % 2 == 0) {
      backEndWith(path, i % 20, 3);
    } else {
      std::ofstream(path) << "junk";
    }
  }

  uikit::script::ScriptedDesktop desk;
  uikit::ScopedDesktop use(desk);
  orvanta::clsOrvanta component;
  std::size_t candidates = 0;
  for (auto _ : bench) {
    desk.onShow("frmWizard1", [&](uikit::Form& page) {
      candidates = uikit::form<orvanta::frmFixSet>().lsvDatabases.Count();
      uikit::script::close(page);
    });
    if (component.CheckLinkedTables(fe) != 0 || !desk.failure().empty()) {
      bench.SkipWithError(("the check did not show the wizard: " + desk.failure()).c_str());
      break;
    }
  }
  bench.counters["candidates"] = static_cast<double>(candidates);
}
BENCHMARK(BM_RenamedBackEndInLargeTree)->Unit(benchmark::kMillisecond)->MinTime(2.0);

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
