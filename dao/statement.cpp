// Thin RAII wrappers over SQLite statements; every failure becomes the layer's Error, and no
// statement runs longer than the thread's time limit.
#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>

#include "dao/internal.h"

namespace dao {
namespace {

using Clock = std::chrono::steady_clock;

thread_local std::chrono::milliseconds tTimeLimit{5000};
thread_local Clock::time_point tDeadline = Clock::time_point::max();

// SQLite calls this every few thousand virtual-machine steps; non-zero stops the statement with
// SQLITE_INTERRUPT. A statement runs on the thread that steps it, so the clock is per thread.
int OnProgress(void*) {
  return Clock::now() > tDeadline ? 1 : 0;
}

}  // namespace

void SetStatementTimeLimit(std::chrono::milliseconds limit) {
  tTimeLimit = limit;
}

namespace detail {

void WatchStatementTime(sqlite3* db) {
  sqlite3_progress_handler(db, 4000, OnProgress, nullptr);
}

void ArmStatementClock() {
  tDeadline = Clock::now() + tTimeLimit;
}

Statement::Statement(sqlite3* db, std::string_view sql) : db_(db) {
  const char* tail = nullptr;
  int rc = sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt_, &tail);
  if (rc != SQLITE_OK)
    FailSqlite(db, rc);
}

namespace {

// Kept statements by connection and text. A statement is taken out while in use, so two uses
// of one text at once (a look-up inside a loop over another) each get their own.
std::mutex gKeptMutex;
std::map<sqlite3*, std::map<std::string, sqlite3_stmt*, std::less<>>>& Kept() {
  static auto* kept = new std::map<sqlite3*, std::map<std::string, sqlite3_stmt*, std::less<>>>();
  return *kept;
}

// Finalizes stmt, or keeps it for its connection's next use of the same text.
void Release(sqlite3* db, sqlite3_stmt* stmt, bool cached) {
  if (!stmt)
    return;
  if (cached) {
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    std::lock_guard<std::mutex> guard(gKeptMutex);
    auto connection = Kept().find(db);
    // A connection forgotten while the statement was out is closing: the statement goes.
    if (connection != Kept().end() &&
        connection->second.try_emplace(sqlite3_sql(stmt), stmt).second)
      return;
  }
  sqlite3_finalize(stmt);
}

}  // namespace

Statement Statement::Cached(sqlite3* db, std::string_view sql) {
  {
    std::lock_guard<std::mutex> guard(gKeptMutex);
    auto& kept = Kept()[db];
    if (auto it = kept.find(sql); it != kept.end()) {
      Statement s(db, it->second);
      s.cached_ = true;
      kept.erase(it);
      return s;
    }
  }
  sqlite3_stmt* stmt = nullptr;
  int rc = sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()),
                              SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
  if (rc != SQLITE_OK)
    FailSqlite(db, rc);
  Statement s(db, stmt);
  s.cached_ = true;
  return s;
}

void ForgetCachedStatements(sqlite3* db) {
  std::map<std::string, sqlite3_stmt*, std::less<>> kept;
  {
    std::lock_guard<std::mutex> guard(gKeptMutex);
    auto it = Kept().find(db);
    if (it == Kept().end())
      return;
    kept.swap(it->second);
    Kept().erase(it);
  }
  for (auto& [text, stmt] : kept)
    sqlite3_finalize(stmt);
}

Statement::Statement(Statement&& other) noexcept
    : db_(other.db_), stmt_(other.stmt_), cached_(other.cached_) {
  other.stmt_ = nullptr;
}

Statement& Statement::operator=(Statement&& other) noexcept {
  if (this != &other) {
    Release(db_, stmt_, cached_);
    db_ = other.db_;
    stmt_ = other.stmt_;
    cached_ = other.cached_;
    other.stmt_ = nullptr;
  }
  return *this;
}

Statement::~Statement() {
  Release(db_, stmt_, cached_);
}

void Statement::Bind(int index, const Value& value) {
  int rc = SQLITE_OK;
  switch (value.kind()) {
    case Value::Kind::Null:
      rc = sqlite3_bind_null(stmt_, index);
      break;
    case Value::Kind::Integer:
      rc = sqlite3_bind_int64(stmt_, index, value.AsInt64());
      break;
    case Value::Kind::Real:
      rc = sqlite3_bind_double(stmt_, index, value.AsDouble());
      break;
    case Value::Kind::Text: {
      std::string text = value.AsString();
      rc = sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()),
                             SQLITE_TRANSIENT);
      break;
    }
  }
  if (rc != SQLITE_OK)
    FailSqlite(db_, rc);
}

bool Statement::Step() {
  ArmStatementClock();
  int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW)
    return true;
  if (rc == SQLITE_DONE)
    return false;
  Error error = SqliteError(db_, rc);
  sqlite3_reset(stmt_);
  throw error;
}

Value Statement::Column(int index) const {
  switch (sqlite3_column_type(stmt_, index)) {
    case SQLITE_INTEGER:
      return Value(static_cast<long long>(sqlite3_column_int64(stmt_, index)));
    case SQLITE_FLOAT:
      return Value(sqlite3_column_double(stmt_, index));
    case SQLITE_NULL:
      return Value();
    default:
      return Value(Text(index));
  }
}

std::string Statement::Text(int index) const {
  const unsigned char* text = sqlite3_column_text(stmt_, index);
  if (!text)
    return "";
  return std::string(reinterpret_cast<const char*>(text),
                     static_cast<std::size_t>(sqlite3_column_bytes(stmt_, index)));
}

long long Statement::Int(int index) const {
  return sqlite3_column_int64(stmt_, index);
}

void Exec(sqlite3* db, const std::string& sql) {
  ArmStatementClock();
  char* message = nullptr;
  int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message);
  sqlite3_free(message);
  if (rc != SQLITE_OK)
    FailSqlite(db, rc);
}

namespace {
std::string SavepointName(const void* p) {
  return "vantrel_sp_" + std::to_string(reinterpret_cast<std::uintptr_t>(p));
}
}  // namespace

Savepoint::Savepoint(sqlite3* db) : db_(db) {
  // A change made outside a transaction is a transaction of its own that takes the write lock
  // first, waiting for it within the busy timeout. Started deferred, it would read first and
  // then have to upgrade its read lock, which SQLite refuses at once, without waiting, whenever
  // another process is writing: concurrent starts would fail with "locked" for no reason.
  ownsTransaction_ = sqlite3_get_autocommit(db_) && !sqlite3_db_readonly(db_, "main");
  Exec(db_, ownsTransaction_ ? "BEGIN IMMEDIATE" : "SAVEPOINT " + SavepointName(this));
}

Savepoint::~Savepoint() {
  if (done_)
    return;
  ArmStatementClock();
  const std::string name = SavepointName(this);
  sqlite3_exec(
      db_, ownsTransaction_ ? "ROLLBACK" : ("ROLLBACK TO " + name + "; RELEASE " + name).c_str(),
      nullptr, nullptr, nullptr);
}

void Savepoint::Release() {
  Exec(db_, ownsTransaction_ ? "COMMIT" : "RELEASE " + SavepointName(this));
  done_ = true;
}

}  // namespace detail
}  // namespace dao
