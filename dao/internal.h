// Internals of the database engine layer, shared by its source files and by its tests. Nothing
// outside dao/ and tests/dao/ includes this header.
#pragma once

#include <sqlite3.h>
#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "dao/dao.h"

namespace dao::detail {

// ---------------------------------------------------------------------------------------------
// Errors (error.cpp)

[[noreturn]] void Fail(int number, std::string description);
// The layer's error for a failed SQLite call; the message of the connection explains it.
Error SqliteError(sqlite3* db, int rc);
[[noreturn]] void FailSqlite(sqlite3* db, int rc);
// Runs the thread's fault hook, if any.
void RunFaultHook(std::string_view operation, std::string_view subject);

// Every connection stops a statement that runs past the thread's time limit (error 3035): a
// file's triggers and queries are untrusted and may never end. ArmStatementClock starts the
// clock for the statement about to run; Statement::Step and Exec arm it themselves.
void WatchStatementTime(sqlite3* db);
void ArmStatementClock();

// ---------------------------------------------------------------------------------------------
// Text (dialect.cpp)

// Case-insensitive comparison over ASCII letters, which is what SQLite's NOCASE collation does;
// table and field names compare this way everywhere in the layer.
bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);
// text with its ASCII capitals made small: a key that orders as NoCaseLess does.
std::string FoldCase(std::string_view text);
struct NoCaseLess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const;
};
// "name" with every " doubled: an identifier for statements the layer builds itself.
std::string Ident(std::string_view name);
// The database path of a connect string (its DATABASE part, dao/connect.h).
std::string ConnectPath(std::string_view connect);
// The SQLite URI of a file path, opened read-only or read-write (never created). `immutable`
// (read-only only) makes SQLite read the file as it stands: no locks, no journal, nothing
// created beside it.
std::string FileUri(const std::string& path, bool readOnly, bool immutable = false);

// Rewrites the few desktop-database forms SQLite does not accept (see dialect.cpp).
std::string TranslateStatement(std::string_view sql);
// True when the statement's shape (DISTINCT, GROUP BY, UNION ...) means its rows do not map
// one to one onto base rows, so the recordset cannot be updated.
bool HasAggregateShape(std::string_view sql);
// Inserts `columns` (a select-list fragment ending with ", ") after the leading SELECT keyword;
// nullopt when the statement does not start with SELECT.
std::optional<std::string> InsertAfterSelect(std::string_view sql, std::string_view columns);
// When the statement is a single name (bare or bracketed), that name.
std::optional<std::string> BareTableName(std::string_view sql);

// ---------------------------------------------------------------------------------------------
// Files and locks (files.cpp, locks.cpp)

struct FileId {
  dev_t dev = 0;
  ino_t ino = 0;
  auto operator<=>(const FileId&) const = default;
};

// A database file checked before SQLite sees it: it exists, is a regular file (so SQLite never
// blocks opening a FIFO or device), can be opened as asked and starts like an SQLite database.
// Holds an open descriptor on the file, closed through CloseFileDescriptor.
class ProbedFile {
 public:
  // Errors 3024, 3051, 3343. `forWriting` also refuses a file without any write permission bit.
  // `wantWriteLock` opens the descriptor for writing when the file allows it, so an exclusive
  // lock can be taken through it.
  static ProbedFile Probe(const std::string& path, bool forWriting, bool wantWriteLock);
  ProbedFile(ProbedFile&& other) noexcept;
  ProbedFile& operator=(ProbedFile&&) = delete;
  ~ProbedFile();

  const FileId& id() const { return id_; }
  int fd() const { return fd_; }
  // A file in WAL mode with neither a -wal nor a -shm file beside it: nobody has it open in
  // WAL mode and everything is in the file itself. Read-only opens of such a file read it as
  // it stands, since SQLite would otherwise create the -wal and -shm files and leave them.
  bool quietWal() const { return quietWal_; }
  bool writableDescriptor() const { return writable_; }
  // Hands the descriptor over (to a FileLock).
  int Release();

 private:
  ProbedFile() = default;
  int fd_ = -1;
  FileId id_;
  bool writable_ = false;
  bool quietWal_ = false;
};

// The advisory lock a Database holds on its file: shared, or exclusive. It is an open file
// description lock on a byte far beyond SQLite's own lock bytes, so it neither disturbs SQLite
// nor depends on the process: two Database objects conflict whether they live in one process or
// in two.
class FileLock {
 public:
  FileLock() = default;
  // Takes over the probe's descriptor. Errors 3356 (exclusive holder elsewhere) and 3045
  // (exclusive asked while others hold the file).
  static FileLock Acquire(ProbedFile& file, bool exclusive, const std::string& path);
  FileLock(FileLock&& other) noexcept;
  FileLock& operator=(FileLock&& other) noexcept;
  ~FileLock() { Release(); }
  void Release();

 private:
  int fd_ = -1;
  FileId id_;
  bool exclusive_ = false;
};

// True when a holder other than this thread's engine has the file in exclusive use. Linked
// tables and link checks read a back end without holding it, but respect exclusive use.
bool HeldExclusivelyElsewhere(const ProbedFile& file);
// The same through a descriptor the layer keeps open on the file (an attached back end's).
bool HeldExclusivelyElsewhere(int fd, const FileId& id);

// Closing any descriptor of a file drops every POSIX lock the process holds on it, including
// SQLite's. So while one of our SQLite connections has the file open, descriptors we opened
// ourselves are parked and closed only when the last connection lets go.
void NoteFileInUse(const FileId& id);
void NoteFileReleased(const FileId& id);
void CloseFileDescriptor(const FileId& id, int fd);
// A parked descriptor of the file, taken back for reuse (-1 when there is none; `forWriting`
// asks for one opened for writing), so parked descriptors do not pile up while a file stays in
// use.
int TakeParkedDescriptor(const FileId& id, bool forWriting);

// True when a -wal or -shm file stands beside the database: someone has it open in WAL mode.
bool WalFilesBeside(const std::string& path);

// How a connection opens its file.
enum class OpenMode {
  kReadWrite,    // the front end and files the user chose to change: waits briefly for locks
  kProbe,        // read-only, never waits: a busy file fails with 3218 at once
  kReadBackEnd,  // read-only, waits briefly: back ends other users are writing
  kAsItStands,   // read-only, ignoring journals and locks (reports of a file mid-recovery)
};

// Opens and configures an SQLite connection on a probed file: defensive mode, untrusted schema,
// no extensions, strict identifiers, a statement time limit. Errors 3343 when SQLite cannot read
// it as a database, 3218 when it is busy, 3049 when a read-only open meets an unfinished change.
sqlite3* OpenConnection(const std::string& path, OpenMode mode, const ProbedFile& file);

// ---------------------------------------------------------------------------------------------
// SQLite statements (statement.cpp)

class Statement {
 public:
  Statement() = default;
  Statement(sqlite3* db, std::string_view sql);  // prepares; throws the mapped error
  Statement(sqlite3* db, sqlite3_stmt* stmt) : db_(db), stmt_(stmt) {}
  // A statement of the layer's own that runs again and again on one connection (catalog and
  // schema look-ups): prepared once per connection and kept, reset, for the next use, since
  // preparing against a large schema costs many times what running it does. Never for a
  // caller's statement.
  static Statement Cached(sqlite3* db, std::string_view sql);
  Statement(Statement&& other) noexcept;
  Statement& operator=(Statement&& other) noexcept;
  ~Statement();

  sqlite3_stmt* get() const { return stmt_; }
  explicit operator bool() const { return stmt_ != nullptr; }
  void Bind(int index, const Value& value);
  // True while there is a row; false when done. Throws the mapped error.
  bool Step();
  Value Column(int index) const;
  std::string Text(int index) const;
  long long Int(int index) const;

 private:
  sqlite3* db_ = nullptr;
  sqlite3_stmt* stmt_ = nullptr;
  bool cached_ = false;  // goes back to the connection's cache instead of being finalized
};

// Finalizes the statements kept for db; before every close of a connection that used Cached.
void ForgetCachedStatements(sqlite3* db);

// Runs statements that return no rows (the layer's own DDL and bookkeeping).
void Exec(sqlite3* db, const std::string& sql);

// A savepoint that rolls back unless released: makes a multi-statement change all or nothing,
// inside or outside a user transaction. Outside one it is a transaction of its own that takes
// the write lock before anything is read (BEGIN IMMEDIATE, within the busy timeout).
class Savepoint {
 public:
  explicit Savepoint(sqlite3* db);
  ~Savepoint();
  void Release();

 private:
  sqlite3* db_;
  bool ownsTransaction_ = false;  // began the transaction, so Release commits it
  bool done_ = false;
};

// ---------------------------------------------------------------------------------------------
// An open database (database.cpp)

struct Core;

// A recordset still stepping its statement (recordset.cpp). While one is open, its statement
// holds a read lock on the file and sees changes made through its connection, so before
// anything is written through any connection of the thread, each reads the rest of its rows
// and lets go of its statement (DrainRecordsets). Closing a database abandons its own.
struct PendingRows {
  virtual ~PendingRows() = default;
  virtual void ReadRest() noexcept = 0;  // a failure is kept for the recordset's next move
  virtual void Abandon() noexcept = 0;
  const Core* owner = nullptr;  // the connection its statement runs on
};
void RegisterPending(PendingRows* rows);
void UnregisterPending(PendingRows* rows);
// Before any change through a connection of this thread.
void DrainRecordsets();
void AbandonRecordsets(const Core* core);

// A back end attached to a front end's connection to serve its linked tables.
struct Attachment {
  std::string alias;
  std::string path;
  FileId id;
  int fd = -1;  // kept open to see exclusive use elsewhere without opening the file again
  bool immutable = false;  // a quiet WAL file, read as it stood when attached
  std::uint64_t lastUse = 0;
  std::vector<std::string> views;  // temp views reading from it
};

// A back end a link was checked against in the open transaction, kept open so the next link to
// it in the same transaction needs no new connection (see ValidateLink).
struct CheckedBackEnd {
  std::string path;
  FileId id;
  int fd = -1;  // to see exclusive use elsewhere, as an attachment does
  sqlite3* db = nullptr;
};

// The state of an open database, shared by the Database and the objects it hands out (table
// definitions, recordsets), which see a closed database as an invalid object (3420).
struct Core {
  ~Core() { Close(); }
  // Before a change through this connection: open recordsets read the rest of their rows.
  void BeforeChange() const { DrainRecordsets(); }
  sqlite3* Handle() const;       // error 3420 after Close
  void RequireWritable() const;  // error 3027 on a read-only open
  void Close();
  bool InTransaction() const { return inTransaction; }

  sqlite3* db = nullptr;
  std::string path;
  FileId id;
  bool readOnly = false;
  bool exclusive = false;
  FileLock lock;
  bool inTransaction = false;
  long recordsAffected = 0;

  // Linked tables: back ends attached on demand, least recently used detached first.
  std::vector<Attachment> attachments;
  std::uint64_t clock = 0;
  int nextAlias = 0;
  std::set<std::string, NoCaseLess> linkViews;
  // Back ends checked for links in the open transaction; closed when it ends.
  std::vector<CheckedBackEnd> checkedBackEnds;

  // Filled by the authorizer while a statement is prepared: the schemas it reads, and a table
  // of an attached back end it named directly instead of through a link's view (SQLite looks
  // unqualified names up in attached files too; the statement must see only links).
  std::set<std::string> touched;
  std::optional<std::string> stray;
  // Back-end tables ("alias.table") the statement reached through a link's view. SQLite names
  // no view when it reads such a table without any of its columns (count(*), a table whose
  // only column is its rowid), so that read is allowed only for a table seen through a view.
  std::set<std::string> viaViews;
  // While true, the authorizer refuses what a caller's statement must not do (attach, pragmas,
  // transaction control): those would bypass the layer's bookkeeping.
  bool guardStatements = false;
};

std::shared_ptr<Core> MakeCore(sqlite3* db, const std::string& path, const FileId& id,
                               bool readOnly, bool exclusive, FileLock lock);

// Prepares a caller's statement (already translated), resolving linked tables through their
// back ends as needed. Error 3078 when a table is neither local nor linked.
Statement PrepareResolved(Core& core, const std::string& sql);

// ---------------------------------------------------------------------------------------------
// Catalog (catalog.cpp)

inline constexpr const char* kCatalogTable = "MSysTableDefs";
inline constexpr const char* kRelationsTable = "MSysRelationships";

struct CatalogRow {
  std::string name;
  std::string connect;
  std::string source;
  long attributes = 0;
};

bool TableExists(sqlite3* db, std::string_view name, std::string_view schema = "main");
// The real spelling of a local table's name, when it exists.
std::optional<std::string> LocalTableName(sqlite3* db, std::string_view name);
std::vector<std::string> LocalTables(sqlite3* db);
void EnsureCatalog(sqlite3* db);
std::vector<CatalogRow> ReadCatalog(sqlite3* db);
std::optional<CatalogRow> FindCatalogRow(sqlite3* db, std::string_view name);
void WriteCatalogRow(sqlite3* db, const CatalogRow& row);
void DeleteCatalogRow(sqlite3* db, std::string_view name);
// Column names of a local table, in order.
std::vector<std::string> TableColumns(sqlite3* db, std::string_view table,
                                      std::string_view schema = "main");
bool IsSystemName(std::string_view name);

// Relations (relations.cpp): drops every relation that involves the table (its triggers and
// its rows in MSysRelationships).
void DropRelationsOf(sqlite3* db, std::string_view table);
// Among the tables, the one that is the foreign (many) side of a relation with another of them.
std::optional<std::string> ForeignSideOf(sqlite3* db, const std::vector<std::string>& tables);

// ---------------------------------------------------------------------------------------------
// Linked tables (attach.cpp)

inline constexpr std::string_view kAliasPrefix = "vantrel_be";

// Checks a link without touching the front end: the back end opens read-only on a connection
// of its own and holds the source table. Errors 3024, 3051, 3343, 3356, 3011. Inside a
// transaction of core the connection stays open for the next link to the same file, which is
// still checked to be the same file and not in exclusive use elsewhere.
void ValidateLink(Core& core, const std::string& connect, const std::string& sourceTable);
// Closes the back ends ValidateLink kept open for core's transaction.
void ForgetCheckedBackEnds(Core& core);
// Forgets what the front end's connection knows about a link (its temp view), after the link
// changed or went away.
void ForgetLink(Core& core, std::string_view name);
void ForgetAllLinks(Core& core);
// Makes a linked table readable by its name; false when no link of that name exists.
bool ResolveLink(Core& core, std::string_view name, const std::set<std::string>& pinned);
// Before a statement runs: every back end it reads must still be the file it was attached
// from. Error 3024 when it is gone; true when one was replaced (detached; prepare again).
bool RecheckBackEnds(Core& core, const std::set<std::string>& schemas);

}  // namespace dao::detail

// ---------------------------------------------------------------------------------------------
// The public objects' state

struct dao::Database::Impl {
  std::shared_ptr<detail::Core> core;
  std::unique_ptr<dao::TableDefs> tableDefs;  // made on first use
  std::unique_ptr<dao::Relations> relations;
};

struct dao::TableDef::Impl {
  // Set once the definition belongs to a database; a closed database makes it invalid.
  std::weak_ptr<detail::Core> core;
  bool attached = false;
  bool local = true;
  std::string name;
  std::string connect;
  std::string source;
  long attributes = 0;
  std::vector<Field> fields;
  std::vector<Index> indexes;
  bool fieldsLoaded = false;  // attached local tables read their fields on first use
};
