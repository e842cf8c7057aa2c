#include "tests/dao/temp_dir.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace dao::testing {

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

void MakeBackEnd(const std::string& path, const std::vector<std::string>& tables, int rows) {
  auto db = CreateDatabase(path);
  db->BeginTrans();  // one write to disk instead of one per row
  for (const std::string& name : tables) {
    TableDef def = db->CreateTableDef(name);
    Field id = def.CreateField("ID", dbLong);
    id.Attributes = dbAutoIncrField;
    def.AppendField(id);
    def.AppendField(def.CreateField("Name", dbText));
    Index pk = def.CreateIndex("PrimaryKey");
    pk.AppendField("ID");
    pk.Primary = pk.Unique = true;
    def.AppendIndex(pk);
    db->TableDefs().Append(def);
    for (int i = 1; i <= rows; ++i)
      db->Execute("INSERT INTO " + BracketName(name) + " (Name) VALUES (" +
                  QuoteText(name + " row " + std::to_string(i)) + ")");
  }
  db->CommitTrans();
  db->Close();
}

void CreateMissingTables(Database& db) {
  TableDef sets = db.CreateTableDef("tblLinkedSets", dbHiddenObject);
  Field id = sets.CreateField("ID", dbLong);
  id.Attributes = dbAutoIncrField;
  sets.AppendField(id);
  sets.AppendField(sets.CreateField("Name", dbText));
  Field description = sets.CreateField("Description", dbText);
  description.AllowZeroLength = true;
  sets.AppendField(description);
  sets.AppendField(sets.CreateField("FrontEndPath", dbText));
  sets.AppendField(sets.CreateField("ActiveSet", dbBoolean));
  sets.AppendField(sets.CreateField("ValidSet", dbBoolean));
  Index setsKey = sets.CreateIndex("PrimaryKey");
  setsKey.AppendField("ID");
  setsKey.Primary = setsKey.Unique = true;
  sets.AppendIndex(setsKey);
  db.TableDefs().Append(sets);

  TableDef links = db.CreateTableDef("tblLinkedTables", dbHiddenObject);
  Field linkId = links.CreateField("ID", dbLong);
  linkId.Attributes = dbAutoIncrField;
  links.AppendField(linkId);
  Field setId = links.CreateField("LinkSetID", dbLong);
  setId.Required = true;
  links.AppendField(setId);
  links.AppendField(links.CreateField("TableName", dbText));
  links.AppendField(links.CreateField("DatabasePath", dbText));
  Index linksKey = links.CreateIndex("PrimaryKey");
  linksKey.AppendField("ID");
  linksKey.Primary = linksKey.Unique = true;
  links.AppendIndex(linksKey);
  Index bySet = links.CreateIndex("LinkSetID");
  bySet.AppendField("LinkSetID");
  bySet.Unique = false;
  links.AppendIndex(bySet);
  db.TableDefs().Append(links);

  Relation relation = db.CreateRelation("LinkSetToLinkTables", "tblLinkedSets", "tblLinkedTables",
                                        dbRelationUpdateCascade | dbRelationDeleteCascade);
  relation.AppendField("ID", "LinkSetID");
  db.Relations().Append(relation);
}

OtherProcess::OtherProcess(const std::string& path, int options, bool readOnly,
                           const char* action) {
  int up[2], down[2];
  if (pipe(up) != 0 || pipe(down) != 0)
    throw std::runtime_error("pipe failed");
  pid_ = fork();
  if (pid_ == 0) {
    dup2(down[0], 0);
    dup2(up[1], 1);
    close(up[0]);
    close(down[1]);
    std::string o = std::to_string(options), r = readOnly ? "1" : "0";
    execl(DAO_LOCK_HELPER, DAO_LOCK_HELPER, path.c_str(), o.c_str(), r.c_str(), action, nullptr);
    _exit(127);
  }
  close(up[1]);
  close(down[0]);
  toChild_ = down[1];
  FILE* in = fdopen(up[0], "r");
  if (!in || std::fscanf(in, "%d", &result_) != 1)
    result_ = -1;
  if (in)
    std::fclose(in);
}

OtherProcess::~OtherProcess() {
  close(toChild_);
  int status = 0;
  waitpid(pid_, &status, 0);
}

std::string ConnectTo(const std::string& path) {
  return ";DATABASE=" + path;
}

}  // namespace dao::testing
