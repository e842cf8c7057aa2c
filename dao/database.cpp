// An open database: statements, transactions and closing.
#include <string>

#include "dao/dao.h"
#include "dao/internal.h"

namespace dao {
namespace detail {

sqlite3* Core::Handle() const {
  if (!db)
    Fail(kErrObjectInvalid, "The database has been closed.");
  return db;
}

void Core::RequireWritable() const {
  Handle();
  if (readOnly)
    Fail(kErrFileNotWritable,
         "The database '" + path + "' was opened read-only; it cannot be changed.");
  BeforeChange();
}

void Core::Close() {
  if (!db)
    return;
  // Its recordsets stop reading; statements left unfinished would keep the file open.
  AbandonRecordsets(this);
  // Closing in the middle of a transaction gives up its work, as closing always has.
  ArmStatementClock();
  if (inTransaction)
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
  inTransaction = false;
  ForgetCheckedBackEnds(*this);
  for (const Attachment& a : attachments)
    NoteFileReleased(a.id);
  attachments.clear();
  linkViews.clear();
  ForgetCachedStatements(db);
  sqlite3_close_v2(db);
  db = nullptr;
  NoteFileReleased(id);
  lock.Release();
}

namespace {

// Sees every statement while it is prepared: notes the schemas it reads, so linked tables' back
// ends can be checked before it runs, and keeps callers' statements from attaching files,
// changing pragmas or driving transactions behind the layer's back.
int Authorize(void* data, int action, const char* table, const char* column, const char* schema,
              const char* via) {
  auto* core = static_cast<Core*>(data);
  if (action == SQLITE_READ && schema)
    core->touched.insert(schema);
  if (!core->guardStatements)
    return SQLITE_OK;
  switch (action) {
    case SQLITE_ATTACH:
    case SQLITE_DETACH:
    case SQLITE_PRAGMA:
    case SQLITE_TRANSACTION:
    case SQLITE_SAVEPOINT:
      return SQLITE_DENY;
    case SQLITE_READ:
    case SQLITE_INSERT:
    case SQLITE_UPDATE:
    case SQLITE_DELETE:
      // A back end's table reached other than through its link's view.
      if (schema && table && std::string_view(schema).starts_with(kAliasPrefix)) {
        const std::string qualified = std::string(schema) + "." + table;
        if (action == SQLITE_READ && via) {
          core->viaViews.insert(qualified);
          return SQLITE_OK;
        }
        // Read without any of its columns: SQLite names no view then (see Core::viaViews).
        if (action == SQLITE_READ && column && !*column && core->viaViews.count(qualified))
          return SQLITE_OK;
        if (!core->stray)
          core->stray = table;
        return SQLITE_DENY;
      }
      return SQLITE_OK;
    default:
      return SQLITE_OK;
  }
}

}  // namespace

std::shared_ptr<Core> MakeCore(sqlite3* db, const std::string& path, const FileId& id,
                               bool readOnly, bool exclusive, FileLock lock) {
  auto core = std::make_shared<Core>();
  core->db = db;
  core->path = path;
  core->id = id;
  core->readOnly = readOnly;
  core->exclusive = exclusive;
  core->lock = std::move(lock);
  sqlite3_set_authorizer(db, Authorize, core.get());
  return core;
}

}  // namespace detail

using detail::Fail;

Database::Database(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

Database::~Database() {
  Close();
}

const std::string& Database::Name() const {
  return impl_->core->path;
}
bool Database::ReadOnly() const {
  return impl_->core->readOnly;
}
bool Database::Exclusive() const {
  return impl_->core->exclusive;
}

dao::TableDefs& Database::TableDefs() {
  impl_->core->Handle();
  if (!impl_->tableDefs) {
    impl_->tableDefs.reset(new dao::TableDefs(this));
    impl_->tableDefs->Refresh();
  }
  return *impl_->tableDefs;
}

dao::Relations& Database::Relations() {
  impl_->core->Handle();
  if (!impl_->relations)
    impl_->relations.reset(new dao::Relations(this));
  return *impl_->relations;
}

TableDef Database::CreateTableDef(const std::string& name, long attributes,
                                  const std::string& sourceTableName, const std::string& connect) {
  TableDef def;
  def.SetName(name);
  def.SetAttributes(attributes);
  def.SetSourceTableName(sourceTableName);
  def.SetConnect(connect);
  return def;
}

Relation Database::CreateRelation(const std::string& name, const std::string& table,
                                  const std::string& foreignTable, long attributes) {
  Relation relation;
  relation.Name = name;
  relation.Table = table;
  relation.ForeignTable = foreignTable;
  relation.Attributes = attributes;
  return relation;
}

void Database::Execute(const std::string& sql) {
  detail::RunFaultHook("execute", sql);
  detail::Core& core = *impl_->core;
  sqlite3* db = core.Handle();
  core.BeforeChange();
  detail::Statement stmt = detail::PrepareResolved(core, detail::TranslateStatement(sql));
  if (sqlite3_column_count(stmt.get()) > 0)
    Fail(kErrInvalidOperation, "Execute runs action statements; a query needs OpenRecordset.");
  if (core.readOnly && !sqlite3_stmt_readonly(stmt.get()))
    core.RequireWritable();
  while (stmt.Step()) {
  }
  core.recordsAffected = static_cast<long>(sqlite3_changes(db));
}

void Database::CheckReadable(const std::string& table) {
  detail::Core& core = *impl_->core;
  core.Handle();
  // No row qualifies, yet stepping starts a read of the table's file: a link's back end is
  // attached and checked, and a busy or damaged file fails as it would for a real read.
  detail::Statement stmt =
      detail::PrepareResolved(core, "SELECT * FROM " + detail::Ident(table) + " WHERE 0");
  stmt.Step();
}

long Database::RecordsAffected() const {
  return impl_->core->recordsAffected;
}

void Database::BeginTrans() {
  detail::Core& core = *impl_->core;
  sqlite3* db = core.Handle();
  if (core.inTransaction)
    Fail(kErrInvalidOperation, "A transaction is already open; transactions do not nest.");
  core.BeforeChange();
  // IMMEDIATE takes the write lock now, so the work cannot fail halfway for want of it.
  detail::Exec(db, core.readOnly ? "BEGIN" : "BEGIN IMMEDIATE");
  core.inTransaction = true;
}

void Database::CommitTrans() {
  detail::Core& core = *impl_->core;
  sqlite3* db = core.Handle();
  if (!core.inTransaction)
    Fail(kErrNoTransaction, "There is no transaction to commit.");
  core.BeforeChange();
  if (sqlite3_get_autocommit(db)) {
    // SQLite gave the transaction up after a failure (a full disk, for one).
    core.inTransaction = false;
    detail::ForgetCheckedBackEnds(core);
    Fail(kErrNoTransaction, "The transaction was rolled back after an earlier failure.");
  }
  try {
    detail::RunFaultHook("commit", core.path);
    detail::Exec(db, "COMMIT");
  } catch (...) {
    // All or nothing: a commit that cannot finish leaves nothing behind.
    Rollback();
    throw;
  }
  core.inTransaction = false;
  detail::ForgetCheckedBackEnds(core);
}

void Database::Rollback() {
  detail::Core& core = *impl_->core;
  sqlite3* db = core.Handle();
  if (!core.inTransaction)
    Fail(kErrNoTransaction, "There is no transaction to roll back.");
  core.BeforeChange();
  core.inTransaction = false;
  detail::ForgetCheckedBackEnds(core);
  if (!sqlite3_get_autocommit(db))
    detail::Exec(db, "ROLLBACK");
  // Links may have changed back; let them resolve afresh, and list what the file holds again.
  detail::ForgetAllLinks(core);
  if (impl_->tableDefs)
    impl_->tableDefs->Refresh();
}

bool Database::InTransaction() const {
  return impl_->core->inTransaction;
}

void Database::Close() {
  if (impl_)
    impl_->core->Close();
}

}  // namespace dao
