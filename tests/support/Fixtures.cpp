#include "tests/support/Fixtures.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "dao/dao.h"
#include "engine/Engine.h"

namespace fs = std::filesystem;

namespace testsupport {

void makeBackEnd(const std::string& path, const std::vector<std::string>& tables, int rows) {
  fs::path parent = fs::path(path).parent_path();
  if (!parent.empty())
    fs::create_directories(parent);
  auto db = dao::CreateDatabase(path);
  for (const auto& table : tables) {
    db->Execute("CREATE TABLE " + dao::BracketName(table) +
                " (ID INTEGER PRIMARY KEY, Name TEXT COLLATE NOCASE)");
    for (int i = 1; i <= rows; ++i) {
      db->Execute("INSERT INTO " + dao::BracketName(table) + " (Name) VALUES (" +
                  dao::QuoteText(table + " row " + std::to_string(i)) + ")");
    }
  }
  db->Close();
}

void makeFrontEnd(const std::string& path) {
  fs::path parent = fs::path(path).parent_path();
  if (!parent.empty())
    fs::create_directories(parent);
  auto db = dao::CreateDatabase(path);
  db->Execute("CREATE TABLE tblLocal (ID INTEGER PRIMARY KEY, Note TEXT COLLATE NOCASE)");
  db->Execute("INSERT INTO tblLocal (Note) VALUES ('kept locally')");
  db->Close();
}

void linkTable(const std::string& frontEnd, const std::string& localName,
               const std::string& backEnd, const std::string& sourceTable) {
  auto db = dao::OpenDatabase(frontEnd);
  dao::TableDef def = db->CreateTableDef(localName);
  def.SetSourceTableName(sourceTable.empty() ? localName : sourceTable);
  def.SetConnect(orvanta::connectString(backEnd));
  db->TableDefs().Append(def);
  db->Close();
}

int addLinkSet(const std::string& frontEnd, const std::string& name, const std::string& description,
               bool active, const std::vector<Link>& links, const std::string& frontEndPath) {
  {
    auto db = dao::OpenDatabase(frontEnd);
    bool present = db->TableDefs().Contains("tblLinkedSets");
    db->Close();
    if (!present && !orvanta::CreateMissingTables(frontEnd)) {
      throw std::runtime_error("could not create the link-set tables in " + frontEnd);
    }
  }
  auto db = dao::OpenDatabase(frontEnd);
  auto sets = db->OpenRecordset("SELECT * FROM tblLinkedSets");
  sets->AddNew();
  sets->SetField("Name", name);
  sets->SetField("Description", description);
  sets->SetField("FrontEndPath", frontEndPath);
  sets->SetField("ActiveSet", dao::Value::Boolean(active));
  sets->SetField("ValidSet", dao::Value::Boolean(false));
  sets->Update();
  sets->Close();
  auto found = db->OpenRecordset("SELECT MAX(ID) AS ID FROM tblLinkedSets WHERE Name=" +
                                 dao::QuoteText(name));
  int id = found->Field("ID").AsInt32();
  found->Close();
  auto rows = db->OpenRecordset("SELECT * FROM tblLinkedTables");
  for (const auto& link : links) {
    rows->AddNew();
    rows->SetField("LinkSetID", id);
    rows->SetField("TableName", link.table);
    rows->SetField("DatabasePath", orvanta::connectString(link.backEnd));
    rows->Update();
  }
  rows->Close();
  db->Close();
  return id;
}

std::vector<LinkedDef> linkedDefs(const std::string& frontEnd) {
  auto db = dao::OpenDatabase(frontEnd, 0, true);
  std::vector<LinkedDef> out;
  for (const auto& def : db->TableDefs()) {
    if (!def.Connect().empty())
      out.push_back({def.Name(), def.Connect(), def.SourceTableName()});
  }
  db->Close();
  return out;
}

std::vector<LinkRow> linkRows(const std::string& frontEnd) {
  auto db = dao::OpenDatabase(frontEnd, 0, true);
  auto rs = db->OpenRecordset(
      "SELECT Name, TableName, DatabasePath FROM tblLinkedSets INNER JOIN tblLinkedTables "
      "ON tblLinkedSets.ID = tblLinkedTables.LinkSetID ORDER BY Name, TableName",
      dao::dbOpenSnapshot);
  std::vector<LinkRow> out;
  while (!rs->AtEOF()) {
    out.push_back({rs->Field("Name").AsString(), rs->Field("TableName").AsString(),
                   rs->Field("DatabasePath").AsString()});
    rs->MoveNext();
  }
  rs->Close();
  db->Close();
  return out;
}

std::vector<SetRecord> linkSets(const std::string& frontEnd) {
  auto db = dao::OpenDatabase(frontEnd, 0, true);
  auto rs = db->OpenRecordset("SELECT * FROM tblLinkedSets ORDER BY ID", dao::dbOpenSnapshot);
  std::vector<SetRecord> out;
  for (; !rs->AtEOF(); rs->MoveNext()) {
    out.push_back({rs->Field("ID").AsInt32(), rs->Field("Name").AsString(),
                   rs->Field("Description").AsString(), rs->Field("FrontEndPath").AsString(),
                   rs->Field("ActiveSet").AsBool(), rs->Field("ValidSet").AsBool()});
  }
  rs->Close();
  db->Close();
  return out;
}

std::string fileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

HeldByAnotherProcess::HeldByAnotherProcess(const std::string& path, int options, bool readOnly,
                                           bool writing) {
  int ready[2];
  int release[2];
  if (pipe(ready) != 0)
    throw std::runtime_error("pipe failed");
  if (pipe(release) != 0)
    throw std::runtime_error("pipe failed");
  pid_ = fork();
  if (pid_ < 0)
    throw std::runtime_error("fork failed");
  if (pid_ == 0) {
    close(ready[0]);
    close(release[1]);
    char opened = 'n';
    try {
      auto db = dao::OpenDatabase(path, options, readOnly);
      if (writing)
        db->BeginTrans();
      opened = 'y';
      (void)!write(ready[1], &opened, 1);
      char c;
      (void)!read(release[0], &c, 1);  // returns at end of file: the test let go
    } catch (...) {
      (void)!write(ready[1], &opened, 1);
    }
    _exit(0);  // no destructors or exit handlers of the test process in the child
  }
  close(ready[1]);
  close(release[0]);
  release_ = release[1];
  char c = 'n';
  held_ = read(ready[0], &c, 1) == 1 && c == 'y';
  close(ready[0]);
}

HeldByAnotherProcess::~HeldByAnotherProcess() {
  close(release_);
  waitpid(pid_, nullptr, 0);
}

}  // namespace testsupport
