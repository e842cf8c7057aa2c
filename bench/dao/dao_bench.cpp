// Costs of the database engine layer on real files:
//   BM_OpenAndReadLinks: open a front end and read one linked table from each of 50 back ends
//     (attaching on demand, detaching least recently used past SQLite's limit of 10).
//   BM_ListTableDefs: open a front end holding 500 table definitions and walk TableDefs.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "dao/dao.h"

namespace {

constexpr int kBackEnds = 50;
constexpr int kTablesPerBackEnd = 10;

struct Files {
  std::string dir;
  std::string fe50;   // one link to each back end
  std::string fe500;  // links to every table of every back end
  Files() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "vantrel-bench-XXXXXX").string();
    dir = mkdtemp(pattern.data());
    fe50 = dir + "/fe50.mdb";
    fe500 = dir + "/fe500.mdb";
    auto small = dao::CreateDatabase(fe50);
    auto large = dao::CreateDatabase(fe500);
    for (int b = 0; b < kBackEnds; ++b) {
      const std::string path = dir + "/be" + std::to_string(b) + ".mdb";
      auto be = dao::CreateDatabase(path);
      be->BeginTrans();
      for (int t = 0; t < kTablesPerBackEnd; ++t) {
        const std::string name = "T" + std::to_string(b) + "_" + std::to_string(t);
        be->Execute("CREATE TABLE " + name + " (ID INTEGER PRIMARY KEY, Name TEXT)");
        for (int r = 0; r < 20; ++r)
          be->Execute("INSERT INTO " + name + " (Name) VALUES ('row')");
      }
      be->CommitTrans();
      be->Close();
      for (int t = 0; t < kTablesPerBackEnd; ++t) {
        const std::string name = "T" + std::to_string(b) + "_" + std::to_string(t);
        dao::TableDef def = large->CreateTableDef(name, 0, name, ";DATABASE=" + path);
        large->TableDefs().Append(def);
        if (t == 0) {
          dao::TableDef one = small->CreateTableDef(name, 0, name, ";DATABASE=" + path);
          small->TableDefs().Append(one);
        }
      }
    }
  }
  ~Files() { std::filesystem::remove_all(dir); }
};

Files& TheFiles() {
  static Files files;
  return files;
}

void BM_OpenAndReadLinks(benchmark::State& state) {
  const std::string& fe = TheFiles().fe50;
  for (auto _ : state) {
    auto db = dao::OpenDatabase(fe);
    long rows = 0;
    for (int b = 0; b < kBackEnds; ++b)
      rows += db->OpenRecordset("SELECT * FROM T" + std::to_string(b) + "_0")->RecordCount();
    benchmark::DoNotOptimize(rows);
    db->Close();
  }
  state.SetItemsProcessed(state.iterations() * kBackEnds);
}
BENCHMARK(BM_OpenAndReadLinks)->Unit(benchmark::kMillisecond);

void BM_ListTableDefs(benchmark::State& state) {
  const std::string& fe = TheFiles().fe500;
  for (auto _ : state) {
    auto db = dao::OpenDatabase(fe);
    std::size_t linked = 0;
    for (const dao::TableDef& def : db->TableDefs())
      linked += !def.Connect().empty();
    benchmark::DoNotOptimize(linked);
    db->Close();
  }
  state.SetItemsProcessed(state.iterations() * kBackEnds * kTablesPerBackEnd);
}
BENCHMARK(BM_ListTableDefs)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
