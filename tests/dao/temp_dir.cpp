#include "tests/dao/temp_dir.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
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
  waitpid(pid_, nullptr, 0);
}

}  // namespace dao::testing
