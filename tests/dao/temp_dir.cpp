#include "tests/dao/temp_dir.h"

#include <fstream>
#include <stdexcept>

namespace dao::testing {

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::unique_ptr<Database> MakeLinkSetFrontEnd(const std::string& path) {
  CreateDatabase(path)->Close();
  if (!CreateMissingTables(path))
    throw std::runtime_error("could not create the link-set tables in " + path);
  return OpenDatabase(path);
}

void AppendLink(Database& db, const std::string& name, const std::string& backEnd,
                const std::string& source) {
  TableDef def = db.CreateTableDef(name, 0, source.empty() ? name : source, ConnectTo(backEnd));
  db.TableDefs().Append(def);
}

}  // namespace dao::testing
