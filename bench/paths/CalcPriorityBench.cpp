// Scoring one candidate: a back end with 200 tables against an active set of 200 links. The
// folder searches score every file they meet, so this is the cost per file found.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "dao/dao.h"
#include "engine/ComponentState.h"
#include "engine/Engine.h"
#include "paths/modFunctions.h"

namespace {

constexpr int kTables = 200;

std::string tableName(int i) {
  return "tblData" + std::to_string(i);
}

struct Files {
  std::filesystem::path dir;
  std::string frontEnd;
  std::string missing;
  std::string candidate;

  Files() {
    std::string pattern = (std::filesystem::temp_directory_path() / "paths-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
      std::abort();
    dir = pattern;
    frontEnd = (dir / "fe.mdb").string();
    missing = (dir / "old" / "Sales.mdb").string();
    candidate = (dir / "Sales.mdb").string();

    auto back = dao::CreateDatabase(candidate);
    for (int i = 0; i < kTables; ++i) {
      back->Execute("CREATE TABLE " + dao::BracketName(tableName(i)) + " (ID INTEGER PRIMARY KEY)");
    }
    back->Close();

    dao::CreateDatabase(frontEnd)->Close();
    if (!orvanta::CreateMissingTables(frontEnd))
      std::abort();
    auto front = dao::OpenDatabase(frontEnd);
    front->Execute(
        "INSERT INTO tblLinkedSets (Name, Description, FrontEndPath, ActiveSet, ValidSet) "
        "VALUES ('Main', '', '', -1, 0)");
    auto id = front->OpenRecordset("SELECT ID FROM tblLinkedSets")->Field("ID").AsInt32();
    auto links = front->OpenRecordset("SELECT * FROM tblLinkedTables");
    for (int i = 0; i < kTables; ++i) {
      links->AddNew();
      links->SetField("LinkSetID", id);
      links->SetField("TableName", tableName(i));
      links->SetField("DatabasePath", orvanta::connectString(missing));
      links->Update();
    }
    links->Close();
    front->Close();
  }
  ~Files() { std::filesystem::remove_all(dir); }
};

void BM_CalcPriority200Tables(benchmark::State& st) {
  Files files;
  orvanta::state().currentFrontEndPath = files.frontEnd;
  orvanta::state().activeSetName = "Main";
  int found = 0;
  int needed = 0;
  for (auto _ : st) {
    std::string score = orvanta::CalcPriority(files.candidate, files.missing, found, needed);
    benchmark::DoNotOptimize(score);
  }
  if (found != kTables || needed != kTables)
    st.SkipWithError("not every table was found");
}
BENCHMARK(BM_CalcPriority200Tables)->Unit(benchmark::kMillisecond);

}  // namespace
