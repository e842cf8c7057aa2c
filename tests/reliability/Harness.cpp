#include "tests/reliability/Harness.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

namespace reliability {
namespace {

void redirect(const std::string& path, int fd, int flags) {
  const int opened = open(path.empty() ? "/dev/null" : path.c_str(), flags, 0644);
  if (opened < 0 || dup2(opened, fd) < 0)
    _exit(125);
  close(opened);
}

std::string rows(sqlite3* db, const char* sql) {
  std::string text;
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK)
    return std::string("! ") + sqlite3_errmsg(db);
  int rc;
  while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
      const auto* value = sqlite3_column_text(stmt, i);
      text += (i ? " | " : "") + std::string(value ? reinterpret_cast<const char*>(value) : "");
    }
    text += "\n";
  }
  if (rc != SQLITE_DONE)
    text += std::string("! ") + sqlite3_errmsg(db);
  sqlite3_finalize(stmt);
  return text;
}

}  // namespace

pid_t startChild(const std::string& input, const std::string& out, const std::string& err,
                 const std::function<int()>& body, const std::vector<std::string>& args) {
  const pid_t pid = fork();
  if (pid != 0)
    return pid;
  redirect(input, STDIN_FILENO, O_RDONLY);
  redirect(out, STDOUT_FILENO, O_WRONLY | O_CREAT | O_TRUNC);
  redirect(err, STDERR_FILENO, O_WRONLY | O_CREAT | O_TRUNC);
  if (body)
    _exit(body());
  std::vector<char*> argv;
  std::string program = VANTREL_BINARY;
  argv.push_back(program.data());
  for (const std::string& a : args)
    argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  execv(program.c_str(), argv.data());
  _exit(126);
}

int waitChild(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
  }
  return status;
}

LinkState readLinkState(const std::string& frontEnd) {
  sqlite3* db = nullptr;
  LinkState state;
  if (sqlite3_open_v2(frontEnd.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
    state.integrity = std::string("cannot open: ") + sqlite3_errmsg(db);
  } else {
    sqlite3_busy_timeout(db, 5000);
    state.integrity = rows(db, "PRAGMA integrity_check");
    if (state.integrity == "ok\n")
      state.integrity = "ok";
    state.definitions = rows(db,
                             "SELECT Name, Connect, SourceTableName FROM MSysTableDefs "
                             "WHERE Connect <> '' ORDER BY Name");
    state.activeRows = rows(db,
                            "SELECT s.Name, t.TableName, t.DatabasePath FROM tblLinkedSets s "
                            "JOIN tblLinkedTables t ON t.LinkSetID = s.ID WHERE s.ActiveSet <> 0 "
                            "ORDER BY s.Name, t.TableName");
  }
  sqlite3_close(db);
  return state;
}

int countFromEnvironment(const char* name, int fallback) {
  const char* text = std::getenv(name);
  return text && std::atoi(text) > 0 ? std::atoi(text) : fallback;
}

}  // namespace reliability
