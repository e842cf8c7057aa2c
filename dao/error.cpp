// Errors of the layer: the exception type, the translation of SQLite failures into the numbers
// callers test, and the per-thread fault hook that tests use to fail any step on purpose.
#include <cstdlib>
#include <string>
#include <utility>

#include "dao/dao.h"
#include "dao/internal.h"

namespace dao {

Error::Error(int number, std::string description)
    : number_(number), description_(std::move(description)) {}

namespace {
thread_local FaultHook tFaultHook;

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// The text after a "prefix: " in an SQLite message, e.g. the table of "no such table: x".
std::string After(std::string_view message, std::string_view prefix) {
  auto at = message.find(prefix);
  if (at == std::string_view::npos)
    return std::string(message);
  return std::string(message.substr(at + prefix.size()));
}
}  // namespace

void SetFaultHook(FaultHook hook) {
  tFaultHook = std::move(hook);
}

namespace detail {

void Fail(int number, std::string description) {
  throw Error(number, std::move(description));
}

void RunFaultHook(std::string_view operation, std::string_view subject) {
  if (tFaultHook)
    tFaultHook(operation, subject);
}

Error SqliteError(sqlite3* db, int rc) {
  const std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
  // Triggers the layer writes (relations, read-only links) raise "dao:<number>:<text>".
  if (message.rfind("dao:", 0) == 0) {
    char* end = nullptr;
    long number = std::strtol(message.c_str() + 4, &end, 10);
    if (number > 0 && end && *end == ':')
      return Error(static_cast<int>(number), end + 1);
  }
  switch (rc & 0xff) {
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
      return Error(kErrNotADatabase, "The file is not a database, or it is damaged.");
    case SQLITE_READONLY:
      // A read-only connection cannot roll back what an interrupted writer left half done.
      if (rc == SQLITE_READONLY_ROLLBACK || rc == SQLITE_READONLY_RECOVERY)
        return Error(kErrUnfinishedChange,
                     "The file has an unfinished change from an interrupted write; opening it "
                     "read-write completes it.");
      return Error(kErrFileNotWritable,
                   "The database or object is read-only; it cannot be changed.");
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return Error(kErrLocked, "The database is locked by another user or process; try again.");
    case SQLITE_PERM:
    case SQLITE_CANTOPEN:
      return Error(kErrCannotOpen, "The file cannot be opened: " + message + ".");
    case SQLITE_AUTH:
      return Error(kErrInvalidOperation,
                   "The statement does something the database layer does not allow.");
    case SQLITE_IOERR:
    case SQLITE_FULL:
      return Error(kErrDiskIO, "The file could not be read or written (" + message + ").");
    case SQLITE_INTERRUPT:
      return Error(kErrStatementTooLong,
                   "A statement ran longer than a statement may and was stopped; the file may "
                   "hold a trigger or query that never ends.");
    case SQLITE_MISMATCH:
      return Error(kErrTypeMismatch, "A value has the wrong type for its field.");
    case SQLITE_TOOBIG:
      return Error(kErrOverflow, "A value is too large.");
    case SQLITE_CONSTRAINT:
      switch (rc) {
        case SQLITE_CONSTRAINT_PRIMARYKEY:
        case SQLITE_CONSTRAINT_UNIQUE:
          return Error(kErrDuplicateKey,
                       "The change would create a duplicate key (" + After(message, ": ") + ").");
        case SQLITE_CONSTRAINT_NOTNULL:
          return Error(kErrRequiredField,
                       "A required field was left empty (" + After(message, ": ") + ").");
        case SQLITE_CONSTRAINT_FOREIGNKEY:
          return Error(kErrRelatedRecordRequired, "A row refers to a row that does not exist.");
        default:
          return Error(kErrInternal, "A rule of the database refused the change: " + message);
      }
    default:
      break;
  }
  if (Contains(message, "no such table: "))
    return Error(kErrTableNotFound,
                 "There is no table or query named '" + After(message, "no such table: ") + "'.");
  if (Contains(message, "no such column: "))
    return Error(kErrUnknownField,
                 "There is no field named '" + After(message, "no such column: ") + "'.");
  if (Contains(message, "access to view") && Contains(message, "prohibited"))
    return Error(kErrTableNotFound,
                 "The statement names a stored query; the engine layer does not run them.");
  if (Contains(message, "because it is a view"))
    return Error(kErrFileNotWritable, "A linked table is read-only; its rows cannot be changed.");
  if (Contains(message, "already exists"))
    return Error(kErrObjectExists, "An object of that name already exists (" + message + ").");
  if (Contains(message, "syntax error") || Contains(message, "incomplete input") ||
      Contains(message, "unrecognized token") || Contains(message, "ambiguous column") ||
      Contains(message, "misuse of") || Contains(message, "wrong number of arguments") ||
      Contains(message, "no such function"))
    return Error(kErrSyntax, "The statement cannot be understood: " + message + ".");
  if (Contains(message, "too many attached"))
    return Error(kErrTooManyBackEnds, "The statement reaches too many back ends at once.");
  return Error(kErrInternal, "The database engine failed: " + message + ".");
}

void FailSqlite(sqlite3* db, int rc) {
  throw SqliteError(db, rc);
}

}  // namespace detail
}  // namespace dao
