// Recordsets: the rows of a query, with a current row and edits written back to the base
// tables.
//
// Rows are read as the recordset moves over them, so a caller that looks at the first row of
// a large table never reads the rest. Rows read are kept (MovePrevious, MoveFirst). The rows stay
// those of the moment the recordset opened: an open statement holds a read lock that keeps
// other writers out, and before this thread changes anything, every open recordset reads the
// rest of its rows (DrainRecordsets), since a statement sees its own connection's changes.
//
// To write a row back, each base table's rowid travels beside the selected columns: the select
// list is extended with "<table>.rowid" for every table a column comes from (SQLite reports each
// column's table and column of origin). A join of two tables can so update a column of either;
// a column without an origin (an expression) or from a linked table cannot be written.
#include <algorithm>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "dao/dao.h"
#include "dao/internal.h"

namespace dao {

using detail::EqualsNoCase;
using detail::Fail;
using detail::Ident;

namespace {

constexpr const char* kRowidPrefix = "__vantrel_rowid_";

struct ColumnInfo {
  std::string name;
  std::string table;   // base table in the front end, or "" when the column cannot be written
  std::string origin;  // its column there
  int base = -1;       // index into Impl::baseTables
  bool boolean = false;
};

bool IsBooleanType(const char* declared) {
  return declared && detail::StartsWithNoCase(declared, "BOOLEAN");
}

// Booleans read and write as -1 and 0, whatever another tool stored.
Value NormaliseBoolean(const Value& v) {
  if (v.IsNull())
    return v;
  return Value::Boolean(v.AsBool());
}

// A stored value that no conversion makes a Boolean (text such as 'yes' that another tool wrote)
// is read as stored: converting it fails (error 13) where a caller reads that field, instead of
// making every row of the recordset unreadable.
Value ReadBoolean(const Value& v) {
  try {
    return NormaliseBoolean(v);
  } catch (const Error&) {
    return v;
  }
}

// True when the column is the table's rowid under another name (INTEGER PRIMARY KEY): writing
// it moves the row to another rowid.
bool IsRowidAlias(sqlite3* db, const std::string& table, const std::string& column) {
  detail::Statement s(db, "SELECT name, type, pk FROM pragma_table_info(?1, 'main') WHERE pk > 0");
  s.Bind(1, table);
  int keys = 0;
  bool match = false;
  while (s.Step()) {
    ++keys;
    if (EqualsNoCase(s.Text(0), column) && EqualsNoCase(s.Text(1), "INTEGER"))
      match = true;
  }
  return keys == 1 && match;
}

}  // namespace

namespace detail {
namespace {
thread_local std::vector<PendingRows*> tPending;
}  // namespace

void RegisterPending(PendingRows* rows) {
  tPending.push_back(rows);
}

void UnregisterPending(PendingRows* rows) {
  std::erase(tPending, rows);
}

void DrainRecordsets() {
  // Each one leaves the list as it finishes; take the list first.
  std::vector<PendingRows*> pending = std::exchange(tPending, {});
  for (PendingRows* rows : pending)
    rows->ReadRest();
}

void AbandonRecordsets(const Core* core) {
  std::vector<PendingRows*> pending = tPending;
  for (PendingRows* rows : pending) {
    if (rows->owner == core)
      rows->Abandon();
  }
}
}  // namespace detail

struct Recordset::Impl : detail::PendingRows {
  enum class Mode { None, Edit, AddNew };

  std::weak_ptr<detail::Core> core;
  bool readOnly = true;
  std::string readOnlyWhy;
  std::vector<ColumnInfo> columns;
  std::vector<std::string> baseTables;
  std::vector<std::vector<Value>> rows;
  std::vector<std::vector<std::optional<long long>>> rowids;  // [row][base table]
  long pos = 0;            // -1: before the first row; rows.size(): after the last
  bool onDeleted = false;  // the current row was deleted; the next Move leaves it
  Mode mode = Mode::None;
  std::vector<std::optional<Value>> buffer;
  bool closed = false;

  // The statement still to be stepped; empty once every row is read.
  detail::Statement pending;
  int rowidColumns = 0;          // leading rowid columns of the statement (updatable recordsets)
  std::optional<Error> failure;  // a read that failed while the rest was read for a change

  ~Impl() override { Abandon(); }

  void Start(detail::Statement stmt) {
    pending = std::move(stmt);
    detail::RegisterPending(this);
  }
  void Finish() {
    pending = detail::Statement();
    detail::UnregisterPending(this);
  }
  // The database closed (or the recordset did) before every row was read.
  void Abandon() noexcept override {
    if (!pending)
      return;
    Finish();
    failure = Error(kErrObjectInvalid, "The recordset's database has been closed.");
  }
  void ReadRest() noexcept override {
    try {
      while (ReadOne()) {
      }
    } catch (const Error& e) {
      failure = e;
      Finish();
    } catch (...) {
      failure = Error(kErrInternal, "Reading the rows failed.");
      Finish();
    }
  }
  // Reads one more row; false when there are no more.
  bool ReadOne() {
    if (!pending) {
      if (failure)
        throw Error(*failure);
      return false;
    }
    bool row;
    try {
      row = pending.Step();
    } catch (...) {
      Finish();
      throw;
    }
    if (!row) {
      Finish();
      return false;
    }
    const int count = static_cast<int>(columns.size());
    std::vector<Value> values;
    values.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
      Value v = pending.Column(rowidColumns + i);
      values.push_back(columns[static_cast<std::size_t>(i)].boolean ? ReadBoolean(v) : v);
    }
    std::vector<std::optional<long long>> ids;
    for (int k = 0; k < rowidColumns; ++k) {
      if (sqlite3_column_type(pending.get(), k) == SQLITE_NULL) {
        ids.push_back(std::nullopt);
      } else {
        ids.push_back(pending.Int(k));
      }
    }
    rows.push_back(std::move(values));
    rowids.push_back(std::move(ids));
    return true;
  }
  // Makes row `index` available when the result has it.
  void ReadTo(long index) {
    while (index >= Size() && ReadOne()) {
    }
  }
  void ReadAll() { ReadTo(std::numeric_limits<long>::max()); }

  void RequireOpen() const {
    if (closed)
      Fail(kErrObjectInvalid, "The recordset has been closed.");
  }
  std::shared_ptr<detail::Core> LiveCore() const {
    std::shared_ptr<detail::Core> c = core.lock();
    if (!c || !c->db)
      Fail(kErrObjectInvalid, "The recordset's database has been closed.");
    return c;
  }
  long Size() const { return static_cast<long>(rows.size()); }
  bool HasCurrent() const { return !onDeleted && pos >= 0 && pos < Size(); }
  void RequireCurrent() const {
    if (onDeleted)
      Fail(kErrRecordDeleted, "The current row has been deleted.");
    if (!HasCurrent())
      Fail(kErrNoCurrentRecord, "There is no current row.");
  }
  void RequireUpdatable() const {
    RequireOpen();
    if (readOnly)
      Fail(kErrFileNotWritable, "The recordset is read-only: " + readOnlyWhy + ".");
  }
  int ColumnIndex(const std::string& name) const {
    for (std::size_t i = 0; i < columns.size(); ++i) {
      if (EqualsNoCase(columns[i].name, name))
        return static_cast<int>(i);
    }
    // "Table.Field" names a column of a join whose plain name is taken twice.
    if (auto dot = name.find('.'); dot != std::string::npos) {
      for (std::size_t i = 0; i < columns.size(); ++i) {
        if (EqualsNoCase(columns[i].table, name.substr(0, dot)) &&
            EqualsNoCase(columns[i].origin, name.substr(dot + 1)))
          return static_cast<int>(i);
      }
    }
    Fail(kErrItemNotFound, "The recordset has no field named '" + name + "'.");
  }
  void LeaveEdit() {
    mode = Mode::None;
    buffer.clear();
  }
  // Reads the columns of base table k back from its row.
  void Reread(sqlite3* db, std::vector<Value>& row, std::size_t k, long long rowid) const {
    std::string list;
    std::vector<std::size_t> which;
    for (std::size_t c = 0; c < columns.size(); ++c) {
      if (columns[c].base != static_cast<int>(k))
        continue;
      if (!list.empty())
        list += ", ";
      list += Ident(columns[c].origin);
      which.push_back(c);
    }
    if (which.empty())
      return;
    detail::Statement s(
        db, "SELECT " + list + " FROM main." + Ident(baseTables[k]) + " WHERE rowid=?1");
    s.Bind(1, rowid);
    if (!s.Step())
      return;
    for (std::size_t i = 0; i < which.size(); ++i) {
      Value v = s.Column(static_cast<int>(i));
      row[which[i]] = columns[which[i]].boolean ? ReadBoolean(v) : v;
    }
  }
};

Recordset::Recordset(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Recordset::~Recordset() = default;

std::unique_ptr<Recordset> Database::OpenRecordset(const std::string& sql, int type) {
  std::shared_ptr<detail::Core> core = impl_->core;
  sqlite3* db = core->Handle();
  std::string text = detail::TranslateStatement(sql);
  // A recordset may be opened on a table by its name alone.
  if (std::optional<std::string> name = detail::BareTableName(text))
    text = "SELECT * FROM " + Ident(*name);
  detail::Statement stmt = detail::PrepareResolved(*core, text);
  if (sqlite3_column_count(stmt.get()) == 0 || !sqlite3_stmt_readonly(stmt.get()))
    Fail(kErrInvalidOperation, "A recordset needs a query that returns rows.");

  auto impl = std::make_unique<Recordset::Impl>();
  impl->core = core;
  const int count = sqlite3_column_count(stmt.get());
  bool linked = false;
  for (int i = 0; i < count; ++i) {
    ColumnInfo c;
    const char* name = sqlite3_column_name(stmt.get(), i);
    const char* schema = sqlite3_column_database_name(stmt.get(), i);
    const char* table = sqlite3_column_table_name(stmt.get(), i);
    const char* origin = sqlite3_column_origin_name(stmt.get(), i);
    c.name = name ? name : "";
    c.boolean = IsBooleanType(sqlite3_column_decltype(stmt.get(), i));
    if (schema && std::string_view(schema) != "main")
      linked = true;
    if (schema && table && origin && std::string_view(schema) == "main") {
      c.table = table;
      c.origin = origin;
    }
    impl->columns.push_back(c);
  }
  for (ColumnInfo& c : impl->columns) {
    if (c.table.empty())
      continue;
    auto it = std::find_if(impl->baseTables.begin(), impl->baseTables.end(),
                           [&](const std::string& t) { return EqualsNoCase(t, c.table); });
    c.base = static_cast<int>(it - impl->baseTables.begin());
    if (it == impl->baseTables.end())
      impl->baseTables.push_back(c.table);
  }

  if (type == dbOpenSnapshot) {
    impl->readOnlyWhy = "it is a snapshot";
  } else if (core->readOnly) {
    impl->readOnlyWhy = "the database was opened read-only";
  } else if (linked) {
    impl->readOnlyWhy = "linked tables are read-only";
  } else if (detail::HasAggregateShape(text)) {
    impl->readOnlyWhy = "its rows are computed, not stored";
  } else if (impl->baseTables.empty()) {
    impl->readOnlyWhy = "no column comes from a table";
  } else {
    std::string extra;
    for (std::size_t k = 0; k < impl->baseTables.size(); ++k)
      extra += Ident(impl->baseTables[k]) + ".rowid AS " + Ident(kRowidPrefix + std::to_string(k)) +
               ", ";
    std::optional<std::string> rewritten = detail::InsertAfterSelect(text, extra);
    if (rewritten) {
      try {
        detail::Statement withRowids = detail::PrepareResolved(*core, *rewritten);
        bool ok = sqlite3_column_count(withRowids.get()) ==
                  count + static_cast<int>(impl->baseTables.size());
        for (std::size_t k = 0; ok && k < impl->baseTables.size(); ++k) {
          const char* t = sqlite3_column_table_name(withRowids.get(), static_cast<int>(k));
          ok = t && EqualsNoCase(t, impl->baseTables[k]);
        }
        if (ok) {
          stmt = std::move(withRowids);
          impl->readOnly = false;
        }
      } catch (const Error&) {
        // The tables go by other names in the statement (aliases): read-only it is.
      }
    }
    if (impl->readOnly)
      impl->readOnlyWhy = "its rows cannot be traced to their tables";
  }
  if (impl->readOnly) {
    for (ColumnInfo& c : impl->columns)
      c.base = -1;
  }

  impl->rowidColumns = impl->readOnly ? 0 : static_cast<int>(impl->baseTables.size());
  impl->owner = core.get();
  impl->Start(std::move(stmt));
  // The first row is read now, so a file that cannot be read fails here, as callers expect.
  impl->ReadTo(0);
  (void)db;
  return std::unique_ptr<Recordset>(new Recordset(std::move(impl)));
}

bool Recordset::AtEOF() const {
  impl_->RequireOpen();
  impl_->ReadTo(impl_->pos);
  return !impl_->onDeleted && impl_->pos >= impl_->Size();
}

bool Recordset::AtBOF() const {
  impl_->RequireOpen();
  impl_->ReadTo(0);
  if (impl_->rows.empty())
    return true;
  return !impl_->onDeleted && impl_->pos < 0;
}

long Recordset::RecordCount() const {
  impl_->RequireOpen();
  impl_->ReadAll();
  return impl_->Size();
}

void Recordset::MoveFirst() {
  impl_->RequireOpen();
  impl_->LeaveEdit();
  impl_->ReadTo(0);
  if (impl_->rows.empty())
    Fail(kErrNoCurrentRecord, "The recordset has no rows.");
  impl_->pos = 0;
  impl_->onDeleted = false;
}

void Recordset::MoveLast() {
  impl_->RequireOpen();
  impl_->LeaveEdit();
  impl_->ReadAll();
  if (impl_->rows.empty())
    Fail(kErrNoCurrentRecord, "The recordset has no rows.");
  impl_->pos = impl_->Size() - 1;
  impl_->onDeleted = false;
}

void Recordset::MoveNext() {
  impl_->RequireOpen();
  impl_->LeaveEdit();
  if (impl_->onDeleted) {
    // The rows after the deleted one moved up: the next row is already at pos.
    impl_->onDeleted = false;
    return;
  }
  impl_->ReadTo(impl_->pos + 1);
  if (impl_->pos >= impl_->Size())
    Fail(kErrNoCurrentRecord, "The recordset is past its last row.");
  ++impl_->pos;
}

void Recordset::MovePrevious() {
  impl_->RequireOpen();
  impl_->LeaveEdit();
  if (impl_->onDeleted) {
    impl_->onDeleted = false;
    --impl_->pos;
    return;
  }
  impl_->ReadTo(0);
  if (impl_->pos < 0 || impl_->rows.empty())
    Fail(kErrNoCurrentRecord, "The recordset is before its first row.");
  --impl_->pos;
}

Value Recordset::Field(const std::string& name) const {
  impl_->RequireOpen();
  const int i = impl_->ColumnIndex(name);
  if (impl_->mode != Impl::Mode::None) {
    const std::optional<Value>& edited = impl_->buffer[static_cast<std::size_t>(i)];
    if (edited)
      return *edited;
    if (impl_->mode == Impl::Mode::AddNew)
      return Value();
  }
  impl_->RequireCurrent();
  return impl_->rows[static_cast<std::size_t>(impl_->pos)][static_cast<std::size_t>(i)];
}

int Recordset::FieldCount() const {
  impl_->RequireOpen();
  return static_cast<int>(impl_->columns.size());
}

std::string Recordset::FieldName(int index) const {
  impl_->RequireOpen();
  if (index < 0 || index >= FieldCount())
    Fail(kErrItemNotFound, "There is no field number " + std::to_string(index) + ".");
  return impl_->columns[static_cast<std::size_t>(index)].name;
}

void Recordset::AddNew() {
  impl_->RequireUpdatable();
  impl_->LiveCore()->RequireWritable();
  impl_->LeaveEdit();
  impl_->mode = Impl::Mode::AddNew;
  impl_->buffer.assign(impl_->columns.size(), std::nullopt);
}

void Recordset::Edit() {
  impl_->RequireUpdatable();
  impl_->LiveCore()->RequireWritable();
  impl_->LeaveEdit();
  impl_->RequireCurrent();
  impl_->mode = Impl::Mode::Edit;
  impl_->buffer.assign(impl_->columns.size(), std::nullopt);
}

void Recordset::SetField(const std::string& name, const Value& value) {
  impl_->RequireOpen();
  if (impl_->mode == Impl::Mode::None)
    Fail(kErrUpdateWithoutEdit, "A field can be set only after AddNew or Edit.");
  const int i = impl_->ColumnIndex(name);
  const ColumnInfo& c = impl_->columns[static_cast<std::size_t>(i)];
  if (c.base < 0)
    Fail(kErrNotUpdatable, "Field '" + name + "' is not a field of a table; it cannot be set.");
  impl_->buffer[static_cast<std::size_t>(i)] = c.boolean ? NormaliseBoolean(value) : value;
}

void Recordset::Update() {
  impl_->RequireOpen();
  if (impl_->mode == Impl::Mode::None)
    Fail(kErrUpdateWithoutEdit, "Update needs AddNew or Edit first.");
  std::shared_ptr<detail::Core> core = impl_->LiveCore();
  sqlite3* db = core->db;
  Impl& r = *impl_;
  std::string subject;
  for (const std::string& t : r.baseTables)
    subject += (subject.empty() ? "" : ",") + t;
  detail::RunFaultHook("update", subject);
  core->RequireWritable();

  // The set columns, by base table.
  std::vector<std::vector<std::size_t>> changed(r.baseTables.size());
  for (std::size_t c = 0; c < r.columns.size(); ++c) {
    if (r.buffer[c] && r.columns[c].base >= 0)
      changed[static_cast<std::size_t>(r.columns[c].base)].push_back(c);
  }
  detail::Savepoint savepoint(db);
  if (r.mode == Impl::Mode::AddNew) {
    std::vector<std::optional<long long>> ids(r.baseTables.size());
    bool any =
        std::any_of(changed.begin(), changed.end(), [](const auto& v) { return !v.empty(); });
    for (std::size_t k = 0; k < r.baseTables.size(); ++k) {
      if (changed[k].empty() && (any || k > 0))
        continue;
      std::string sql = "INSERT INTO main." + Ident(r.baseTables[k]);
      if (changed[k].empty()) {
        sql += " DEFAULT VALUES";
      } else {
        std::string names, marks;
        for (std::size_t c : changed[k]) {
          names += (names.empty() ? "" : ", ") + Ident(r.columns[c].origin);
          marks += (marks.empty() ? "?" : ", ?");
        }
        sql += " (" + names + ") VALUES (" + marks + ")";
      }
      detail::Statement s(db, sql);
      int n = 1;
      for (std::size_t c : changed[k])
        s.Bind(n++, *r.buffer[c]);
      s.Step();
      ids[k] = sqlite3_last_insert_rowid(db);
    }
    std::vector<Value> row(r.columns.size());
    for (std::size_t k = 0; k < r.baseTables.size(); ++k) {
      if (ids[k])
        r.Reread(db, row, k, *ids[k]);
    }
    savepoint.Release();
    // The new row joins the end of the recordset and becomes current, so its auto-numbered key
    // can be read at once.
    r.rows.push_back(std::move(row));
    r.rowids.push_back(std::move(ids));
    r.pos = r.Size() - 1;
    r.onDeleted = false;
  } else {
    r.RequireCurrent();
    std::vector<Value>& row = r.rows[static_cast<std::size_t>(r.pos)];
    std::vector<std::optional<long long>>& ids = r.rowids[static_cast<std::size_t>(r.pos)];
    for (std::size_t k = 0; k < r.baseTables.size(); ++k) {
      if (changed[k].empty())
        continue;
      if (!ids[k])
        Fail(kErrNotUpdatable, "This row has no row of '" + r.baseTables[k] + "' to change.");
      std::string set;
      std::optional<long long> newRowid;
      for (std::size_t c : changed[k]) {
        set += (set.empty() ? "" : ", ") + Ident(r.columns[c].origin) + " = ?";
        if (IsRowidAlias(db, r.baseTables[k], r.columns[c].origin) && !r.buffer[c]->IsNull())
          newRowid = r.buffer[c]->AsInt64();
      }
      detail::Statement s(
          db, "UPDATE main." + Ident(r.baseTables[k]) + " SET " + set + " WHERE rowid = ?");
      int n = 1;
      for (std::size_t c : changed[k])
        s.Bind(n++, *r.buffer[c]);
      s.Bind(n, *ids[k]);
      s.Step();
      if (sqlite3_changes(db) == 0)
        Fail(kErrRecordDeleted, "The row was deleted by someone else; it cannot be changed.");
      if (newRowid)
        ids[k] = newRowid;
    }
    // Read the row back: triggers (cascades) and column types may have changed what was set.
    for (std::size_t k = 0; k < r.baseTables.size(); ++k) {
      if (ids[k])
        r.Reread(db, row, k, *ids[k]);
    }
    savepoint.Release();
  }
  r.LeaveEdit();
}

void Recordset::CancelUpdate() {
  impl_->RequireOpen();
  if (impl_->mode == Impl::Mode::None)
    Fail(kErrUpdateWithoutEdit, "There is no AddNew or Edit to cancel.");
  impl_->LeaveEdit();
}

void Recordset::Delete() {
  Impl& r = *impl_;
  r.RequireUpdatable();
  std::shared_ptr<detail::Core> core = r.LiveCore();
  core->RequireWritable();
  r.LeaveEdit();
  r.RequireCurrent();
  // One row of one table goes: the only table, or in a join the foreign (many) side of a
  // relation between its tables, never the row others depend on.
  std::size_t k = 0;
  if (r.baseTables.size() > 1) {
    std::optional<std::string> foreign = detail::ForeignSideOf(core->db, r.baseTables);
    if (!foreign)
      Fail(kErrNotUpdatable,
           "The recordset joins tables without a relation; which row to delete "
           "is not clear.");
    k = static_cast<std::size_t>(
        std::find_if(r.baseTables.begin(), r.baseTables.end(),
                     [&](const std::string& t) { return EqualsNoCase(t, *foreign); }) -
        r.baseTables.begin());
  }
  detail::RunFaultHook("delete", r.baseTables[k]);
  const std::optional<long long> id = r.rowids[static_cast<std::size_t>(r.pos)][k];
  if (!id)
    Fail(kErrNotUpdatable, "This row has no row of '" + r.baseTables[k] + "' to delete.");
  detail::Statement s(core->db, "DELETE FROM main." + Ident(r.baseTables[k]) + " WHERE rowid = ?1");
  s.Bind(1, *id);
  s.Step();
  r.rows.erase(r.rows.begin() + r.pos);
  r.rowids.erase(r.rowids.begin() + r.pos);
  r.onDeleted = true;
}

void Recordset::Close() {
  impl_->Abandon();
  impl_->closed = true;
  impl_->rows.clear();
  impl_->rowids.clear();
  impl_->LeaveEdit();
}

}  // namespace dao
