// The per-thread engine: opening and creating database files.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "dao/dao.h"
#include "dao/internal.h"

namespace dao {

using detail::Fail;

DBEngine& DBEngine::current() {
  thread_local DBEngine engine;
  return engine;
}

namespace {

std::shared_ptr<detail::Core> OpenFile(const std::string& path, int options,
                                       detail::OpenMode mode) {
  // Only True asks for exclusive use: candidates are opened with 4, and two copies of the
  // program probing the same files must not lock each other out.
  const bool exclusive = options == kTrue;
  const bool readOnly = mode != detail::OpenMode::kReadWrite;
  detail::ProbedFile file = detail::ProbedFile::Probe(path, !readOnly, exclusive);
  const detail::FileId id = file.id();
  detail::FileLock lock = detail::FileLock::Acquire(file, exclusive, path);
  sqlite3* db = detail::OpenConnection(path, mode, file);
  detail::NoteFileInUse(id);
  return detail::MakeCore(db, path, id, readOnly, exclusive, std::move(lock));
}

}  // namespace

std::unique_ptr<Database> DBEngine::OpenDatabase(const std::string& path, int options,
                                                 bool readOnly) {
  detail::RunFaultHook("open", path);
  auto impl = std::make_unique<Database::Impl>();
  impl->core =
      OpenFile(path, options, readOnly ? detail::OpenMode::kProbe : detail::OpenMode::kReadWrite);
  return std::unique_ptr<Database>(new Database(std::move(impl)));
}

std::unique_ptr<Database> DBEngine::OpenDatabaseAsItStands(const std::string& path) {
  detail::RunFaultHook("open", path);
  auto impl = std::make_unique<Database::Impl>();
  impl->core = OpenFile(path, 0, detail::OpenMode::kAsItStands);
  return std::unique_ptr<Database>(new Database(std::move(impl)));
}

std::unique_ptr<Database> DBEngine::CreateDatabase(const std::string& path) {
  detail::RunFaultHook("open", path);
  if (path.empty())
    Fail(kErrFileNotFound, "No database file was named.");
  int fd = ::open(path.c_str(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0666);
  if (fd < 0) {
    if (errno == EEXIST)
      Fail(kErrObjectExists, "The file '" + path + "' already exists.");
    if (errno == ENOENT || errno == ENOTDIR)
      Fail(kErrFileNotFound, "The folder of '" + path + "' does not exist.");
    Fail(kErrCannotOpen,
         "The file '" + path + "' cannot be created: " + std::strerror(errno) + ".");
  }
  ::close(fd);
  // SQLite writes nothing until the first change: the catalog gives the new file its header,
  // so it is a database from the start rather than an empty file.
  try {
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(detail::FileUri(path, false).c_str(), &db,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_URI, nullptr);
    if (rc == SQLITE_OK) {
      char* message = nullptr;
      rc = sqlite3_exec(db,
                        "CREATE TABLE MSysTableDefs(Name TEXT NOT NULL PRIMARY KEY COLLATE NOCASE, "
                        "Connect TEXT NOT NULL DEFAULT '', SourceTableName TEXT NOT NULL DEFAULT "
                        "'', Attributes INTEGER NOT NULL DEFAULT 0)",
                        nullptr, nullptr, &message);
      sqlite3_free(message);
    }
    if (rc != SQLITE_OK) {
      Error error = detail::SqliteError(db, rc);
      sqlite3_close_v2(db);
      throw error;
    }
    sqlite3_close_v2(db);
    auto impl = std::make_unique<Database::Impl>();
    impl->core = OpenFile(path, 0, detail::OpenMode::kReadWrite);
    return std::unique_ptr<Database>(new Database(std::move(impl)));
  } catch (...) {
    ::unlink(path.c_str());
    throw;
  }
}

}  // namespace dao
