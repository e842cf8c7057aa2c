// Applying a large link set: the front end's links are rebuilt from 500 link rows spread over
// ten back ends, beside its floor (the same rows written with the plain SQLite API, each
// distinct back end and table checked once). Pruning a front end whose
// catalog holds up to 100,000 stale links.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/floor/check_floor.h"
#include "dao/dao.h"
#include "engine/ComponentState.h"
#include "engine/Engine.h"

namespace {

namespace fs = std::filesystem;

constexpr int kBackEnds = 10;
constexpr int kTablesEach = 50;

class Workspace {
 public:
  Workspace() {
    std::string pattern = (fs::temp_directory_path() / "vantrel-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
      std::abort();
    root_ = pattern;
  }
  ~Workspace() {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  std::string file(const std::string& name) const { return (fs::path(root_) / name).string(); }

 private:
  std::string root_;
};

std::string tableName(int backEnd, int table) {
  std::string name = "T";
  name += std::to_string(backEnd);
  name += '_';
  name += std::to_string(table);
  return name;
}

// A front end whose active set Big has one link per table of every back end.
std::string buildFrontEnd(const Workspace& ws) {
  const std::string fe = ws.file("fe.mdb");
  dao::CreateDatabase(fe)->Close();
  orvanta::CreateMissingTables(fe);
  auto db = dao::OpenDatabase(fe);
  db->Execute("INSERT INTO tblLinkedSets (Name, Description, ActiveSet) VALUES ('Big', '', -1)");
  const long setId = db->OpenRecordset("SELECT ID FROM tblLinkedSets")->Field("ID").AsInt32();
  auto links = db->OpenRecordset("SELECT * FROM tblLinkedTables");
  for (int b = 0; b < kBackEnds; ++b) {
    const std::string be = ws.file("be" + std::to_string(b) + ".mdb");
    auto backEnd = dao::CreateDatabase(be);
    for (int t = 0; t < kTablesEach; ++t) {
      backEnd->Execute("CREATE TABLE " + tableName(b, t) + " (ID INTEGER PRIMARY KEY, Name TEXT)");
      links->AddNew();
      links->SetField("LinkSetID", setId);
      links->SetField("TableName", tableName(b, t));
      links->SetField("DatabasePath", orvanta::connectString(be));
      links->Update();
    }
  }
  return fe;
}

void BM_LinkTablesToActiveSet(benchmark::State& state) {
  Workspace ws;
  const std::string fe = buildFrontEnd(ws);
  orvanta::state().currentFrontEndPath = fe;
  orvanta::state().activeSetName = "Big";
  for (auto _ : state) {
    if (!orvanta::LinkTablesToActiveSet())
      state.SkipWithError("LinkTablesToActiveSet failed");
  }
  state.counters["links"] = kBackEnds * kTablesEach;
}
BENCHMARK(BM_LinkTablesToActiveSet)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_LinkTablesToActiveSetFloor(benchmark::State& state) {
  Workspace ws;
  const std::string fe = buildFrontEnd(ws);
  for (auto _ : state) {
    if (floorcheck::relink(fe.c_str(), "Big") != kBackEnds * kTablesEach)
      state.SkipWithError("the floor could not apply the set");
  }
}
BENCHMARK(BM_LinkTablesToActiveSetFloor)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// A front end whose active set Big defines one table of be0.mdb, holding `stale` further linked
// definitions the set does not define, written straight into the catalog as another tool would.
std::string frontEndWithStaleLinks(const Workspace& ws, int stale) {
  const std::string fe = buildFrontEnd(ws);
  const std::string connect = orvanta::connectString(ws.file("be0.mdb"));
  auto db = dao::OpenDatabase(fe);
  db->BeginTrans();
  db->Execute("INSERT INTO MSysTableDefs (Name, Connect, SourceTableName) VALUES ('" +
              tableName(0, 0) + "', '" + connect + "', '" + tableName(0, 0) + "')");
  for (int i = 0; i < stale; ++i) {
    const std::string name = "Stale" + std::to_string(i);
    db->Execute("INSERT INTO MSysTableDefs (Name, Connect, SourceTableName) VALUES ('" + name +
                "', '" + connect + "', '" + tableName(0, 1) + "')");
  }
  db->CommitTrans();
  return fe;
}

// Pruning a catalog full of stale links: the time should grow with the number of definitions,
// not with its square.
void BM_RemoveExtraLinks(benchmark::State& state) {
  Workspace ws;
  const std::string prepared = frontEndWithStaleLinks(ws, static_cast<int>(state.range(0)));
  const std::string fe = ws.file("work.mdb");
  orvanta::state().currentFrontEndPath = fe;
  orvanta::state().activeSetName = "Big";
  for (auto _ : state) {
    state.PauseTiming();
    fs::copy_file(prepared, fe, fs::copy_options::overwrite_existing);
    state.ResumeTiming();
    if (!orvanta::RemoveExtraLinks())
      state.SkipWithError("RemoveExtraLinks failed");
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_RemoveExtraLinks)
    ->Arg(4000)
    ->Arg(20000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Complexity();

}  // namespace

BENCHMARK_MAIN();
