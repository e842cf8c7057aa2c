// Checking a database file before SQLite opens it, and opening SQLite connections with the
// settings every connection of the layer uses.
//
// Files reach the layer from searches of whole drives, so they are untrusted: a FIFO or device
// named *.mdb must fail at once rather than block, a truncated or foreign file must give 3343
// rather than undefined behaviour, and nothing in a file's schema may run code.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>

#include "dao/internal.h"

namespace dao::detail {
namespace {

constexpr char kMagic[] = "SQLite format 3";  // 16 bytes with the terminating zero

std::uint32_t BigEndian32(const unsigned char* p) {
  return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) |
         std::uint32_t(p[3]);
}

[[noreturn]] void NotADatabase(const std::string& path, const std::string& why) {
  Fail(kErrNotADatabase,
       "The file '" + path + "' is not a database, or it is damaged (" + why + ").");
}

bool Exists(const std::string& path) {
  struct stat st {};
  return lstat(path.c_str(), &st) == 0;
}

}  // namespace

bool WalFilesBeside(const std::string& path) {
  return Exists(path + "-wal") || Exists(path + "-shm");
}

namespace {

// The fixed 100-byte header tells a database from anything else, and its page count tells a
// whole file from a truncated one. Returns whether the file is in WAL mode with nothing beside
// it (ProbedFile::quietWal).
bool CheckHeader(int fd, const struct stat& st, const std::string& path) {
  unsigned char header[100];
  ssize_t got = pread(fd, header, sizeof header, 0);
  if (got < 0)
    Fail(kErrDiskIO, "The file '" + path + "' could not be read.");
  if (got < static_cast<ssize_t>(sizeof header))
    NotADatabase(path, "too short");
  if (std::memcmp(header, kMagic, sizeof kMagic) != 0)
    NotADatabase(path, "no database header");
  std::uint32_t pageSize = (std::uint32_t(header[16]) << 8) | header[17];
  if (pageSize == 1)
    pageSize = 65536;
  if (pageSize < 512 || pageSize > 65536 || (pageSize & (pageSize - 1)) != 0)
    NotADatabase(path, "bad page size");
  if (static_cast<std::uint64_t>(st.st_size) < pageSize)
    NotADatabase(path, "truncated");
  // The page count in the header is valid when its version stamp matches the change counter.
  std::uint32_t pages = BigEndian32(header + 28);
  bool countValid = pages != 0 && BigEndian32(header + 92) == BigEndian32(header + 24);
  // In WAL mode the newest pages may live in the -wal file.
  const bool walMode = header[18] == 2 || header[19] == 2;
  const bool walBeside = Exists(path + "-wal");
  if (countValid && !walMode && !walBeside &&
      static_cast<std::uint64_t>(st.st_size) < std::uint64_t(pages) * pageSize)
    NotADatabase(path, "truncated");
  return walMode && !WalFilesBeside(path);
}

}  // namespace

ProbedFile ProbedFile::Probe(const std::string& path, bool forWriting, bool wantWriteLock) {
  if (path.empty())
    Fail(kErrFileNotFound, "No database file was named.");
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) {
    if (errno == ENOENT || errno == ENOTDIR || errno == ENAMETOOLONG)
      Fail(kErrFileNotFound, "The file '" + path + "' does not exist.");
    Fail(kErrCannotOpen, "The file '" + path + "' cannot be opened: " + std::strerror(errno) + ".");
  }
  if (!S_ISREG(st.st_mode))
    NotADatabase(path, "not a regular file");
  // The system takes longer paths than SQLite's file layer does; past its limit SQLite would
  // only say that it cannot open its URI.
  const sqlite3_vfs* vfs = sqlite3_vfs_find(nullptr);
  if (vfs && path.size() > static_cast<std::size_t>(vfs->mxPathname))
    Fail(kErrCannotOpen, "The file '" + path + "' cannot be opened: its path is longer than the " +
                             std::to_string(vfs->mxPathname) +
                             " bytes the database engine accepts.");
  // Read-only means no write permission bit at all; the check must not depend on who runs it
  // (the super-user could write anyway).
  bool noWriteBits = (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
  if (forWriting && noWriteBits)
    Fail(kErrCannotOpen, "The file '" + path + "' is read-only; it cannot be opened for writing.");

  ProbedFile file;
  // O_NONBLOCK: should the path have become a FIFO since stat, open still returns at once.
  int flags = O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
  bool writeDescriptor = (forWriting || wantWriteLock) && !noWriteBits;
  // A descriptor parked on this very file (see locks.cpp) serves again rather than a new one.
  file.fd_ = TakeParkedDescriptor(FileId{st.st_dev, st.st_ino}, writeDescriptor);
  if (file.fd_ < 0)
    file.fd_ = ::open(path.c_str(), flags | (writeDescriptor ? O_RDWR : O_RDONLY));
  if (file.fd_ < 0 && writeDescriptor && !forWriting && (errno == EACCES || errno == EROFS)) {
    writeDescriptor = false;
    file.fd_ = ::open(path.c_str(), flags | O_RDONLY);
  }
  if (file.fd_ < 0) {
    if (errno == ENOENT)
      Fail(kErrFileNotFound, "The file '" + path + "' does not exist.");
    Fail(kErrCannotOpen, "The file '" + path + "' cannot be opened: " + std::strerror(errno) + ".");
  }
  file.writable_ = writeDescriptor;
  struct stat opened {};
  if (fstat(file.fd_, &opened) != 0 || !S_ISREG(opened.st_mode))
    NotADatabase(path, "not a regular file");
  file.id_ = FileId{opened.st_dev, opened.st_ino};
  if (opened.st_size == 0)
    NotADatabase(path, "empty");
  file.quietWal_ = CheckHeader(file.fd_, opened, path);
  return file;
}

ProbedFile::ProbedFile(ProbedFile&& other) noexcept
    : fd_(other.fd_), id_(other.id_), writable_(other.writable_), quietWal_(other.quietWal_) {
  other.fd_ = -1;
}

ProbedFile::~ProbedFile() {
  CloseFileDescriptor(id_, fd_);
}

int ProbedFile::Release() {
  int fd = fd_;
  fd_ = -1;
  return fd;
}

sqlite3* OpenConnection(const std::string& path, OpenMode mode, const ProbedFile& file) {
  sqlite3* db = nullptr;
  const bool readOnly = mode != OpenMode::kReadWrite;
  // A read-only open never writes beside the file: a WAL file nobody has open is read as it
  // stands rather than given -wal and -shm files that would stay behind.
  const bool immutable = mode == OpenMode::kAsItStands || (readOnly && file.quietWal());
  const std::string uri = FileUri(path, readOnly, immutable);
  int flags = (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_URI |
              SQLITE_OPEN_EXRESCODE;
  int rc = sqlite3_open_v2(uri.c_str(), &db, flags, nullptr);
  if (rc != SQLITE_OK) {
    Error error = SqliteError(db, rc);
    sqlite3_close_v2(db);
    if (error.Number() == kErrInternal)
      NotADatabase(path, error.Description());
    throw error;
  }
  sqlite3_extended_result_codes(db, 1);
  // Schema text is untrusted: no writable schema tricks, no functions with side effects in
  // views or triggers, no extensions, and "double quotes" are identifiers only.
  sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
  // Stored views are not part of the object model, and one in an untrusted file (or in a back
  // end attached to the front end) could compute without end. They do not run; the layer's own
  // TEMP views over linked tables still do.
  sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_VIEW, 0, nullptr);
  if (readOnly)
    sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
  WatchStatementTime(db);
  // Waits for another writer are short: the layer reports a lock rather than hang. A probe of
  // a found file does not wait at all, so many busy files cannot stall a search.
  sqlite3_busy_timeout(db, mode == OpenMode::kReadWrite     ? 2000
                           : mode == OpenMode::kReadBackEnd ? 250
                                                            : 0);
  ArmStatementClock();
  char* message = nullptr;
  // Damage shows early: cells are checked as pages are read, and reading the schema proves the
  // file is a database SQLite can use.
  rc = sqlite3_exec(db, "PRAGMA cell_size_check=ON; SELECT count(*) FROM sqlite_schema;", nullptr,
                    nullptr, &message);
  sqlite3_free(message);
  if (rc != SQLITE_OK) {
    Error error = SqliteError(db, rc);
    sqlite3_close_v2(db);
    if (error.Number() == kErrLocked)
      Fail(kErrLocked, "The file '" + path + "' is busy: another program is writing it.");
    if (error.Number() == kErrUnfinishedChange)
      Fail(kErrUnfinishedChange, "The file '" + path +
                                     "' has an unfinished change from an interrupted write; "
                                     "opening it read-write completes it.");
    if (error.Number() == kErrStatementTooLong)
      throw error;
    NotADatabase(path, error.Description());
  }
  return db;
}

}  // namespace dao::detail

namespace dao {

void CheckWritableFile(const std::string& path) {
  detail::ProbedFile::Probe(path, /*forWriting=*/true, /*wantWriteLock=*/false);
}

}  // namespace dao
