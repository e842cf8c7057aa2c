#include "tests/support/Fixtures.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <stdexcept>

#include "dao/dao.h"
#include "engine/Engine.h"

namespace testsupport {
namespace {

std::unique_ptr<dao::Database> createWithFolders(const std::string& path) {
  std::filesystem::path parent = std::filesystem::path(path).parent_path();
  if (!parent.empty())
    std::filesystem::create_directories(parent);
  return dao::CreateDatabase(path);
}

// Runs sql read-only on the file and hands each row to read.
void eachRow(const std::string& path, const std::string& sql,
             const std::function<void(dao::Recordset&)>& read) {
  auto db = dao::OpenDatabase(path, 0, true);
  for (auto rs = db->OpenRecordset(sql, dao::dbOpenSnapshot); !rs->AtEOF(); rs->MoveNext())
    read(*rs);
}

}  // namespace

void makeBackEnd(const std::string& path, const std::vector<std::string>& tables, int rows) {
  auto db = createWithFolders(path);
  for (const auto& table : tables) {
    db->Execute("CREATE TABLE " + dao::BracketName(table) +
                " (ID INTEGER PRIMARY KEY, Name TEXT COLLATE NOCASE)");
    for (int i = 1; i <= rows; ++i) {
      db->Execute("INSERT INTO " + dao::BracketName(table) + " (Name) VALUES (" +
                  dao::QuoteText(table + " row " + std::to_string(i)) + ")");
    }
  }
}

void makeFrontEnd(const std::string& path) {
  auto db = createWithFolders(path);
  db->Execute("CREATE TABLE tblLocal (ID INTEGER PRIMARY KEY, Note TEXT COLLATE NOCASE)");
  db->Execute("INSERT INTO tblLocal (Note) VALUES ('kept locally')");
}

void linkTable(const std::string& frontEnd, const std::string& localName,
               const std::string& backEnd, const std::string& sourceTable) {
  auto db = dao::OpenDatabase(frontEnd);
  dao::TableDef def = db->CreateTableDef(
      localName, 0, sourceTable.empty() ? localName : sourceTable, orvanta::connectString(backEnd));
  db->TableDefs().Append(def);
}

int addLinkSet(const std::string& frontEnd, const std::string& name, const std::string& description,
               bool active, const std::vector<Link>& links, const std::string& frontEndPath) {
  const bool present = dao::OpenDatabase(frontEnd)->TableDefs().Contains("tblLinkedSets");
  if (!present && !orvanta::CreateMissingTables(frontEnd))
    throw std::runtime_error("could not create the link-set tables in " + frontEnd);
  auto db = dao::OpenDatabase(frontEnd);
  auto sets = db->OpenRecordset("SELECT * FROM tblLinkedSets");
  sets->AddNew();
  sets->SetField("Name", name);
  sets->SetField("Description", description);
  sets->SetField("FrontEndPath", frontEndPath);
  sets->SetField("ActiveSet", dao::Value::Boolean(active));
  sets->SetField("ValidSet", dao::Value::Boolean(false));
  sets->Update();
  const int id = sets->Field("ID").AsInt32();
  auto rows = db->OpenRecordset("SELECT * FROM tblLinkedTables");
  for (const auto& link : links) {
    rows->AddNew();
    rows->SetField("LinkSetID", id);
    rows->SetField("TableName", link.table);
    rows->SetField("DatabasePath", orvanta::connectString(link.backEnd));
    rows->Update();
  }
  return id;
}

std::vector<LinkedDef> linkedDefs(const std::string& frontEnd) {
  auto db = dao::OpenDatabase(frontEnd, 0, true);
  std::vector<LinkedDef> out;
  for (const auto& def : db->TableDefs()) {
    if (!def.Connect().empty())
      out.push_back({def.Name(), def.Connect(), def.SourceTableName()});
  }
  return out;
}

std::vector<LinkRow> linkRows(const std::string& frontEnd) {
  std::vector<LinkRow> out;
  eachRow(frontEnd,
          "SELECT Name, TableName, DatabasePath FROM tblLinkedSets INNER JOIN tblLinkedTables "
          "ON tblLinkedSets.ID = tblLinkedTables.LinkSetID ORDER BY Name, TableName",
          [&](dao::Recordset& rs) {
            out.push_back({rs.Field("Name").AsString(), rs.Field("TableName").AsString(),
                           rs.Field("DatabasePath").AsString()});
          });
  return out;
}

std::vector<SetRecord> linkSets(const std::string& frontEnd) {
  std::vector<SetRecord> out;
  eachRow(frontEnd, "SELECT * FROM tblLinkedSets ORDER BY ID", [&](dao::Recordset& rs) {
    out.push_back({rs.Field("ID").AsInt32(), rs.Field("Name").AsString(),
                   rs.Field("Description").AsString(), rs.Field("FrontEndPath").AsString(),
                   rs.Field("ActiveSet").AsBool(), rs.Field("ValidSet").AsBool()});
  });
  return out;
}

std::string fileBytes(const std::string& path) {
  std::ostringstream out;
  out << std::ifstream(path, std::ios::binary).rdbuf();
  return out.str();
}

HeldByAnotherProcess::HeldByAnotherProcess(const std::string& path, int options, bool readOnly,
                                           const char* action) {
  // Everything the child needs is made before the fork: it may only exec.
  const std::string o = std::to_string(options), r = readOnly ? "1" : "0";
  int up[2], down[2];
  if (pipe2(up, O_CLOEXEC) != 0 || pipe2(down, O_CLOEXEC) != 0 || (pid_ = fork()) < 0)
    throw std::runtime_error("could not start the other process");
  if (pid_ == 0) {
    dup2(down[0], 0);
    dup2(up[1], 1);
    execl(OTHER_PROCESS, OTHER_PROCESS, path.c_str(), o.c_str(), r.c_str(), action, nullptr);
    _exit(127);
  }
  close(up[1]);
  close(down[0]);
  release_ = down[1];
  FILE* in = fdopen(up[0], "r");
  if (!in || std::fscanf(in, "%d", &result_) != 1)
    result_ = -1;
  if (in)
    std::fclose(in);
}

HeldByAnotherProcess::~HeldByAnotherProcess() {
  close(release_);
  waitpid(pid_, nullptr, 0);
}

}  // namespace testsupport
