// Table definitions: building local tables, appending and checking links, listing what a
// database holds.
//
// A local table is built field by field and index by index, and only created when the whole
// definition is appended: SQLite cannot add a primary key to an existing table, so the CREATE
// TABLE statement must know every field and index at once.
#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "dao/dao.h"
#include "dao/internal.h"

namespace dao {

using detail::EqualsNoCase;
using detail::Fail;
using detail::Ident;

namespace {

// Attribute bits the catalog stores; the system bits follow from the name.
long StoredAttributes(long attributes) {
  return attributes & ~dbSystemObject;
}

std::shared_ptr<detail::Core> CoreOf(const TableDef::Impl& impl) {
  std::shared_ptr<detail::Core> core = impl.core.lock();
  if (!core || !core->db)
    Fail(kErrObjectInvalid, "The table definition's database has been closed.");
  return core;
}

// Declared types: the name fixes SQLite's affinity and lets the layer map a column back to its
// field type. Text compares without regard to case, as desktop-database users expect.
std::string ColumnType(const Field& field) {
  switch (field.Type) {
    case dbBoolean:
      return "BOOLEAN NOT NULL DEFAULT 0";  // a Boolean is never Null; a new row starts False
    case dbByte:
      return "TINYINT";
    case dbInteger:
      return "SMALLINT";
    case dbLong:
      return "INTEGER";
    case dbCurrency:
      return "CURRENCY";
    case dbSingle:
      return "FLOAT";
    case dbDouble:
      return "DOUBLE";
    case dbDate:
      return "DATETIME";
    case dbText:
      return "TEXT COLLATE NOCASE";
    case dbMemo:
      return "LONGTEXT COLLATE NOCASE";
    default:
      Fail(kErrInvalidOperation, "Field '" + field.Name + "' has an unknown data type (" +
                                     std::to_string(field.Type) + ").");
  }
}

int FieldTypeOf(std::string declared) {
  for (char& c : declared)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (declared.starts_with("BOOLEAN") || declared.starts_with("BIT"))
    return dbBoolean;
  if (declared.starts_with("TINYINT") || declared.starts_with("BYTE"))
    return dbByte;
  if (declared.starts_with("SMALLINT"))
    return dbInteger;
  if (declared.starts_with("CURRENCY") || declared.starts_with("MONEY"))
    return dbCurrency;
  if (declared.starts_with("FLOAT") || declared.starts_with("SINGLE"))
    return dbSingle;
  if (declared.starts_with("DOUBLE") || declared.starts_with("REAL"))
    return dbDouble;
  if (declared.starts_with("DATE"))
    return dbDate;
  if (declared.starts_with("LONGTEXT") || declared.starts_with("MEMO"))
    return dbMemo;
  if (declared.find("CHAR") != std::string::npos || declared.find("TEXT") != std::string::npos ||
      declared.find("CLOB") != std::string::npos)
    return dbText;
  return dbLong;
}

const Field* FindField(const std::vector<Field>& fields, std::string_view name) {
  for (const Field& f : fields) {
    if (EqualsNoCase(f.Name, name))
      return &f;
  }
  return nullptr;
}

void CreateLocalTable(sqlite3* db, const TableDef::Impl& def) {
  if (def.fields.empty())
    Fail(kErrInvalidOperation, "Table '" + def.name + "' has no fields; it cannot be created.");
  for (std::size_t i = 0; i < def.fields.size(); ++i) {
    if (def.fields[i].Name.empty())
      Fail(kErrInvalidName, "A field of '" + def.name + "' has no name.");
    for (std::size_t j = 0; j < i; ++j) {
      if (EqualsNoCase(def.fields[i].Name, def.fields[j].Name))
        Fail(kErrObjectExists, "Field '" + def.fields[i].Name + "' is defined twice.");
    }
  }
  const Index* primary = nullptr;
  for (const Index& index : def.indexes) {
    if (index.Fields.empty())
      Fail(kErrInvalidOperation, "Index '" + index.Name + "' has no fields.");
    for (const std::string& f : index.Fields) {
      if (!FindField(def.fields, f))
        Fail(kErrObjectNotFound, "Index '" + index.Name + "' names a missing field '" + f + "'.");
    }
    if (index.Primary) {
      if (primary)
        Fail(kErrInvalidOperation, "Table '" + def.name + "' has two primary keys.");
      primary = &index;
    }
  }
  // An auto-numbered field that is the whole primary key (or the table's only key) becomes
  // SQLite's rowid: numbered by the engine, never reused. Any other one is numbered by a trigger.
  const Field* rowidField = nullptr;
  for (const Field& f : def.fields) {
    if (!(f.Attributes & dbAutoIncrField))
      continue;
    bool wholeKey =
        primary ? (primary->Fields.size() == 1 && EqualsNoCase(primary->Fields[0], f.Name)) : true;
    if (wholeKey && !rowidField)
      rowidField = &f;
  }
  std::string sql = "CREATE TABLE main." + Ident(def.name) + " (";
  std::vector<std::string> triggers;
  for (std::size_t i = 0; i < def.fields.size(); ++i) {
    const Field& f = def.fields[i];
    if (i)
      sql += ", ";
    sql += Ident(f.Name) + " ";
    if (&f == rowidField) {
      sql += "INTEGER PRIMARY KEY AUTOINCREMENT";
      continue;
    }
    sql += (f.Attributes & dbAutoIncrField) ? "INTEGER" : ColumnType(f);
    bool inPrimary =
        primary && std::any_of(primary->Fields.begin(), primary->Fields.end(),
                               [&](const std::string& k) { return EqualsNoCase(k, f.Name); });
    if ((f.Required || inPrimary) && f.Type != dbBoolean)
      sql += " NOT NULL";
    if (f.Type == dbBoolean) {
      // True is -1 in every statement ("WHERE ActiveSet = True"): a 1 or any other non-zero
      // number written by a statement is stored as -1, so comparisons find it.
      const std::string table = Ident(def.name), column = Ident(f.Name);
      const std::string body = " WHEN NEW." + column + " NOT IN (0, -1) BEGIN UPDATE " + table +
                               " SET " + column + " = CASE WHEN NEW." + column +
                               " THEN -1 ELSE 0 END WHERE rowid = NEW.rowid; END";
      triggers.push_back("CREATE TRIGGER main." + Ident(def.name + "." + f.Name + ".bool_insert") +
                         " AFTER INSERT ON " + table + body);
      triggers.push_back("CREATE TRIGGER main." + Ident(def.name + "." + f.Name + ".bool_update") +
                         " AFTER UPDATE OF " + column + " ON " + table + body);
    }
    if (f.Attributes & dbAutoIncrField) {
      triggers.push_back("CREATE TRIGGER main." + Ident(def.name + "." + f.Name + ".autonumber") +
                         " AFTER INSERT ON " + Ident(def.name) + " WHEN NEW." + Ident(f.Name) +
                         " IS NULL BEGIN UPDATE " + Ident(def.name) + " SET " + Ident(f.Name) +
                         " = (SELECT IFNULL(MAX(" + Ident(f.Name) + "), 0) + 1 FROM " +
                         Ident(def.name) + ") WHERE rowid = NEW.rowid; END");
    }
  }
  if (primary && !rowidField) {
    sql += ", PRIMARY KEY (";
    for (std::size_t k = 0; k < primary->Fields.size(); ++k) {
      if (k)
        sql += ", ";
      sql += Ident(primary->Fields[k]);
    }
    sql += ")";
  }
  sql += ")";
  detail::Exec(db, sql);
  for (const std::string& t : triggers)
    detail::Exec(db, t);
  for (std::size_t i = 0; i < def.indexes.size(); ++i) {
    const Index& index = def.indexes[i];
    for (std::size_t j = 0; j < i; ++j) {
      if (EqualsNoCase(index.Name, def.indexes[j].Name))
        Fail(kErrObjectExists, "Index '" + index.Name + "' is defined twice.");
    }
    if (index.Primary)
      continue;
    // Index names are per database in SQLite but per table here: qualify them.
    std::string create = std::string(index.Unique ? "CREATE UNIQUE INDEX " : "CREATE INDEX ") +
                         "main." + Ident(def.name + "." + index.Name) + " ON " + Ident(def.name) +
                         " (";
    for (std::size_t k = 0; k < index.Fields.size(); ++k) {
      if (k)
        create += ", ";
      create += Ident(index.Fields[k]);
    }
    detail::Exec(db, create + ")");
  }
}

bool NameTaken(sqlite3* db, const std::string& name) {
  detail::Statement s = detail::Statement::Cached(
      db, "SELECT 1 FROM main.sqlite_schema WHERE name=?1 COLLATE NOCASE");
  s.Bind(1, name);
  if (s.Step())
    return true;
  std::optional<detail::CatalogRow> row = detail::FindCatalogRow(db, name);
  return row && !row->connect.empty();
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TableDef

TableDef::TableDef() : impl_(std::make_shared<Impl>()) {}
TableDef::TableDef(std::shared_ptr<Impl> impl) : impl_(std::move(impl)) {}
TableDef::~TableDef() = default;
TableDef::TableDef(const TableDef&) = default;
TableDef& TableDef::operator=(const TableDef&) = default;

std::string TableDef::Name() const {
  return impl_->name;
}
std::string TableDef::Connect() const {
  return impl_->connect;
}
std::string TableDef::SourceTableName() const {
  // Other tools may leave a link's source empty; such a link reads the table of its own name.
  if (impl_->attached && !impl_->local && impl_->source.empty())
    return impl_->name;
  return impl_->source;
}
long TableDef::Attributes() const {
  if (impl_->attached && detail::IsSystemName(impl_->name))
    return impl_->attributes | dbSystemObject;
  return impl_->attributes;
}

void TableDef::SetName(const std::string& name) {
  if (impl_->attached)
    Fail(kErrInvalidOperation,
         "The name of table '" + impl_->name + "' cannot change once appended.");
  impl_->name = name;
}

void TableDef::SetConnect(const std::string& connect) {
  if (!impl_->attached) {
    impl_->connect = connect;
    return;
  }
  auto core = CoreOf(*impl_);
  if (impl_->local || connect.empty())
    Fail(kErrInvalidOperation, "Table '" + impl_->name + "' is local; it cannot become a link.");
  core->RequireWritable();
  detail::RunFaultHook("update", impl_->name);
  detail::WriteCatalogRow(
      core->db, {impl_->name, connect, impl_->source, StoredAttributes(impl_->attributes)});
  detail::ForgetLink(*core, impl_->name);
  impl_->connect = connect;
}

void TableDef::SetSourceTableName(const std::string& name) {
  if (!impl_->attached) {
    impl_->source = name;
    return;
  }
  auto core = CoreOf(*impl_);
  if (impl_->local || name.empty())
    Fail(kErrInvalidOperation, "Table '" + impl_->name + "' is local; it has no source table.");
  core->RequireWritable();
  detail::RunFaultHook("update", impl_->name);
  detail::WriteCatalogRow(core->db,
                          {impl_->name, impl_->connect, name, StoredAttributes(impl_->attributes)});
  detail::ForgetLink(*core, impl_->name);
  impl_->source = name;
}

void TableDef::SetAttributes(long attributes) {
  if (!impl_->attached) {
    impl_->attributes = attributes;
    return;
  }
  auto core = CoreOf(*impl_);
  core->RequireWritable();
  detail::RunFaultHook("update", impl_->name);
  long stored = StoredAttributes(attributes);
  if (impl_->local && stored == 0) {
    detail::DeleteCatalogRow(core->db, impl_->name);
  } else {
    detail::WriteCatalogRow(core->db, {impl_->name, impl_->connect, impl_->source, stored});
  }
  impl_->attributes = stored;
}

Field TableDef::CreateField(const std::string& name, int type) const {
  Field field;
  field.Name = name;
  field.Type = type;
  return field;
}

void TableDef::AppendField(const Field& field) {
  if (impl_->attached)
    Fail(kErrInvalidOperation,
         "Fields cannot be added to table '" + impl_->name + "' once appended.");
  if (FindField(impl_->fields, field.Name))
    Fail(kErrObjectExists, "Field '" + field.Name + "' is already part of '" + impl_->name + "'.");
  impl_->fields.push_back(field);
}

Index TableDef::CreateIndex(const std::string& name) const {
  Index index;
  index.Name = name;
  return index;
}

void TableDef::AppendIndex(const Index& index) {
  if (impl_->attached)
    Fail(kErrInvalidOperation,
         "Indexes cannot be added to table '" + impl_->name + "' once appended.");
  impl_->indexes.push_back(index);
}

const std::vector<Field>& TableDef::Fields() const {
  if (impl_->attached && impl_->local && !impl_->fieldsLoaded) {
    auto core = CoreOf(*impl_);
    detail::Statement s(core->db,
                        "SELECT name, type, \"notnull\", pk FROM pragma_table_info(?1, 'main')");
    s.Bind(1, impl_->name);
    std::string createSql;
    {
      detail::Statement t(core->db,
                          "SELECT sql FROM main.sqlite_schema WHERE type='table' AND name=?1");
      t.Bind(1, impl_->name);
      if (t.Step())
        createSql = t.Text(0);
    }
    bool autoincrement = createSql.find("AUTOINCREMENT") != std::string::npos;
    while (s.Step()) {
      Field f;
      f.Name = s.Text(0);
      f.Type = FieldTypeOf(s.Text(1));
      f.Required = s.Int(2) != 0;
      f.AllowZeroLength = f.Type == dbText || f.Type == dbMemo;
      if (autoincrement && s.Int(3) == 1 && f.Type == dbLong)
        f.Attributes = dbAutoIncrField;
      impl_->fields.push_back(f);
    }
    impl_->fieldsLoaded = true;
  }
  return impl_->fields;
}

void TableDef::RefreshLink() {
  if (!impl_->attached || impl_->local)
    Fail(kErrInvalidOperation, "Only an appended linked table can be refreshed.");
  auto core = CoreOf(*impl_);
  detail::RunFaultHook("refreshlink", impl_->name);
  core->BeforeChange();
  std::optional<detail::CatalogRow> row = detail::FindCatalogRow(core->db, impl_->name);
  if (!row || row->connect.empty())
    Fail(kErrObjectNotFound, "The link '" + impl_->name + "' no longer exists.");
  impl_->connect = row->connect;
  impl_->source = row->source;
  detail::ValidateLink(*core, row->connect, row->source.empty() ? row->name : row->source);
  detail::ForgetLink(*core, impl_->name);
}

// ---------------------------------------------------------------------------------------------
// TableDefs

int TableDefs::Count() const {
  return static_cast<int>(items_.size());
}

TableDef TableDefs::Item(int index) const {
  if (index < 0 || index >= Count())
    Fail(kErrItemNotFound, "There is no table definition number " + std::to_string(index) + ".");
  return items_[static_cast<std::size_t>(index)];
}

TableDef TableDefs::Item(const std::string& name) const {
  for (const TableDef& def : items_) {
    if (EqualsNoCase(def.impl_->name, name))
      return def;
  }
  Fail(kErrItemNotFound, "There is no table definition named '" + name + "'.");
}

bool TableDefs::Contains(const std::string& name) const {
  return std::any_of(items_.begin(), items_.end(),
                     [&](const TableDef& def) { return EqualsNoCase(def.impl_->name, name); });
}

void TableDefs::Refresh() {
  std::shared_ptr<detail::Core> core = db_->impl().core;
  sqlite3* db = core->Handle();
  std::vector<detail::CatalogRow> rows = detail::ReadCatalog(db);
  std::vector<std::string> locals = detail::LocalTables(db);
  std::vector<TableDef> items;
  auto rowOf = [&](const std::string& name) -> const detail::CatalogRow* {
    for (const detail::CatalogRow& r : rows) {
      if (EqualsNoCase(r.name, name))
        return &r;
    }
    return nullptr;
  };
  for (const std::string& name : locals) {
    auto impl = std::make_shared<TableDef::Impl>();
    impl->core = core;
    impl->attached = true;
    impl->local = true;
    impl->name = name;
    // A catalog row with an empty Connect records the local table's attributes (hidden).
    if (const detail::CatalogRow* r = rowOf(name); r && r->connect.empty())
      impl->attributes = StoredAttributes(r->attributes);
    items.push_back(TableDef(impl));
  }
  for (const detail::CatalogRow& r : rows) {
    if (r.connect.empty())
      continue;
    bool shadowed = std::any_of(locals.begin(), locals.end(),
                                [&](const std::string& l) { return EqualsNoCase(l, r.name); });
    if (shadowed)
      continue;  // a local table of that name wins; the row is stale
    auto impl = std::make_shared<TableDef::Impl>();
    impl->core = core;
    impl->attached = true;
    impl->local = false;
    impl->name = r.name;
    impl->connect = r.connect;
    impl->source = r.source;
    impl->attributes = StoredAttributes(r.attributes);
    items.push_back(TableDef(impl));
  }
  // Case-insensitive name order, names differing only in case by their exact text. Each key is
  // folded once, not at every comparison: a front end may hold thousands of definitions.
  std::vector<std::pair<std::string, std::size_t>> order;
  order.reserve(items.size());
  for (std::size_t i = 0; i < items.size(); ++i)
    order.emplace_back(detail::FoldCase(items[i].impl_->name), i);
  std::sort(order.begin(), order.end(), [&](const auto& a, const auto& b) {
    if (a.first != b.first)
      return a.first < b.first;
    return items[a.second].impl_->name < items[b.second].impl_->name;
  });
  items_.clear();
  items_.reserve(items.size());
  for (const auto& entry : order)
    items_.push_back(std::move(items[entry.second]));
}

void TableDefs::Append(TableDef& def) {
  TableDef::Impl& impl = *def.impl_;
  std::shared_ptr<detail::Core> core = db_->impl().core;
  sqlite3* db = core->Handle();
  detail::RunFaultHook("append", impl.name);
  if (impl.attached)
    Fail(kErrInvalidOperation, "Table definition '" + impl.name + "' has been appended already.");
  core->RequireWritable();
  if (impl.name.empty())
    Fail(kErrInvalidName, "A table definition needs a name.");
  if (NameTaken(db, impl.name))
    Fail(kErrObjectExists, "A table named '" + impl.name + "' already exists.");
  if (!impl.connect.empty()) {
    if (impl.source.empty())
      impl.source = impl.name;
    detail::ValidateLink(*core, impl.connect, impl.source);
    detail::WriteCatalogRow(
        db, {impl.name, impl.connect, impl.source, StoredAttributes(impl.attributes)});
    detail::ForgetLink(*core, impl.name);
    impl.local = false;
  } else {
    detail::Savepoint savepoint(db);
    CreateLocalTable(db, impl);
    // A row left by a table dropped behind the layer's back must not pass its attributes on.
    if (StoredAttributes(impl.attributes) != 0) {
      detail::WriteCatalogRow(db, {impl.name, "", "", StoredAttributes(impl.attributes)});
    } else {
      detail::DeleteCatalogRow(db, impl.name);
    }
    savepoint.Release();
    detail::ForgetLink(*core, impl.name);
    impl.local = true;
    impl.fieldsLoaded = true;  // the definition's fields are what was created
  }
  impl.attributes = StoredAttributes(impl.attributes);
  impl.attached = true;
  impl.core = core;
  auto at = std::lower_bound(items_.begin(), items_.end(), impl.name,
                             [](const TableDef& d, const std::string& name) {
                               return detail::NoCaseLess()(d.impl_->name, name);
                             });
  items_.insert(at, def);
}

void TableDefs::Delete(const std::string& name) {
  std::shared_ptr<detail::Core> core = db_->impl().core;
  sqlite3* db = core->Handle();
  detail::RunFaultHook("delete", name);
  core->RequireWritable();
  if (std::optional<std::string> local = detail::LocalTableName(db, name)) {
    if (detail::IsSystemName(*local))
      Fail(kErrFileNotWritable, "'" + *local + "' is a system table; it cannot be deleted.");
    detail::Savepoint savepoint(db);
    detail::DropRelationsOf(db, *local);
    detail::Exec(db, "DROP TABLE main." + Ident(*local));
    detail::DeleteCatalogRow(db, *local);
    savepoint.Release();
  } else {
    std::optional<detail::CatalogRow> row = detail::FindCatalogRow(db, name);
    if (!row || row->connect.empty())
      Fail(kErrItemNotFound, "There is no table definition named '" + name + "'.");
    detail::DeleteCatalogRow(db, name);
  }
  detail::ForgetLink(*core, name);
  // Callers prune by walking the collection from its end and deleting as they go; searching
  // from the end and erasing just that item keeps such a walk linear in the collection's size.
  const auto item = std::find_if(items_.rbegin(), items_.rend(), [&](const TableDef& d) {
    return EqualsNoCase(d.impl_->name, name);
  });
  if (item != items_.rend())
    items_.erase(std::next(item).base());
}

}  // namespace dao
