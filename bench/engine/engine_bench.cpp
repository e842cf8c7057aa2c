// Applying a large link set: the front end's links are rebuilt from 500 link rows spread over
// ten back ends, each append opening its back end to check the link.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

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

}  // namespace

BENCHMARK_MAIN();
