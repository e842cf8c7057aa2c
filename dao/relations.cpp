// Relations between tables, enforced by triggers.
//
// A relation is appended after both of its tables exist, and SQLite cannot add a foreign key to
// an existing table, so each relation is a set of triggers: rows of the foreign table must name
// an existing row of the table; deleting or rekeying a row of the table cascades to its foreign
// rows (or is refused when the relation does not cascade). The relation's definition is kept in
// MSysRelationships, one row per field pair, so Relations can list it.
#include <algorithm>
#include <string>
#include <vector>

#include "dao/dao.h"
#include "dao/internal.h"

namespace dao {

using detail::EqualsNoCase;
using detail::Fail;
using detail::Ident;

namespace {

// Relation attribute: the engine does not enforce the relation.
constexpr long kDontEnforce = 2;

const char* const kTriggerKinds[] = {"insert", "update_foreign", "delete", "update_key"};

std::string TriggerName(const std::string& relation, const char* kind) {
  return relation + "." + kind;
}

void EnsureRelationsCatalog(sqlite3* db) {
  detail::Exec(db,
               "CREATE TABLE IF NOT EXISTS MSysRelationships(Name TEXT NOT NULL COLLATE NOCASE, "
               "Ordinal INTEGER NOT NULL, TableName TEXT NOT NULL COLLATE NOCASE, "
               "FieldName TEXT NOT NULL COLLATE NOCASE, ForeignTable TEXT NOT NULL COLLATE NOCASE, "
               "ForeignName TEXT NOT NULL COLLATE NOCASE, Attributes INTEGER NOT NULL DEFAULT 0, "
               "PRIMARY KEY (Name, Ordinal))");
}

std::vector<Relation> ReadRelations(sqlite3* db) {
  std::vector<Relation> relations;
  if (!detail::TableExists(db, detail::kRelationsTable))
    return relations;
  detail::Statement s(db,
                      "SELECT Name, TableName, FieldName, ForeignTable, ForeignName, Attributes "
                      "FROM main.MSysRelationships ORDER BY Name COLLATE NOCASE, Ordinal");
  while (s.Step()) {
    std::string name = s.Text(0);
    if (relations.empty() || !EqualsNoCase(relations.back().Name, name)) {
      Relation r;
      r.Name = name;
      r.Table = s.Text(1);
      r.ForeignTable = s.Text(3);
      r.Attributes = static_cast<long>(s.Int(5));
      relations.push_back(r);
    }
    relations.back().AppendField(s.Text(2), s.Text(4));
  }
  return relations;
}

std::string RealColumnName(sqlite3* db, const std::string& table, const std::string& column) {
  for (const std::string& c : detail::TableColumns(db, table)) {
    if (EqualsNoCase(c, column))
      return c;
  }
  Fail(kErrObjectNotFound, "Table '" + table + "' has no field named '" + column + "'.");
}

// "a.x = b.y AND ..." over the relation's field pairs.
std::string Match(const Relation& r, const std::string& keyPrefix,
                  const std::string& foreignPrefix) {
  std::string out;
  for (const Relation::FieldPair& p : r.Fields) {
    if (!out.empty())
      out += " AND ";
    out += foreignPrefix + Ident(p.ForeignName) + " = " + keyPrefix + Ident(p.Name);
  }
  return out;
}

void CreateTriggers(sqlite3* db, const Relation& r) {
  if (r.Attributes & kDontEnforce)
    return;
  const std::string table = Ident(r.Table);
  const std::string foreign = Ident(r.ForeignTable);
  std::string foreignNotNull, foreignColumns, keyColumns, keyChanged;
  for (const Relation::FieldPair& p : r.Fields) {
    if (!foreignNotNull.empty()) {
      foreignNotNull += " AND ";
      foreignColumns += ", ";
      keyColumns += ", ";
      keyChanged += " OR ";
    }
    foreignNotNull += "NEW." + Ident(p.ForeignName) + " IS NOT NULL";
    foreignColumns += Ident(p.ForeignName);
    keyColumns += Ident(p.Name);
    keyChanged += "OLD." + Ident(p.Name) + " IS NOT NEW." + Ident(p.Name);
  }
  const std::string missingParent = foreignNotNull + " AND NOT EXISTS (SELECT 1 FROM " + table +
                                    " WHERE " + Match(r, "", "NEW.") + ")";
  const std::string refuseMissing =
      "SELECT RAISE(ABORT, " +
      QuoteText("dao:3201:A row of '" + r.ForeignTable + "' must refer to an existing row of '" +
                r.Table + "'.") +
      ");";
  detail::Exec(db, "CREATE TRIGGER main." + Ident(TriggerName(r.Name, kTriggerKinds[0])) +
                       " BEFORE INSERT ON " + foreign + " WHEN " + missingParent + " BEGIN " +
                       refuseMissing + " END");
  detail::Exec(db, "CREATE TRIGGER main." + Ident(TriggerName(r.Name, kTriggerKinds[1])) +
                       " BEFORE UPDATE OF " + foreignColumns + " ON " + foreign + " WHEN " +
                       missingParent + " BEGIN " + refuseMissing + " END");
  const std::string children =
      "EXISTS (SELECT 1 FROM " + foreign + " WHERE " + Match(r, "OLD.", "") + ")";
  const std::string refuseRelated = "SELECT RAISE(ABORT, " +
                                    QuoteText("dao:3200:Rows of '" + r.ForeignTable +
                                              "' refer to this row of '" + r.Table + "'.") +
                                    ");";
  if (r.Attributes & dbRelationDeleteCascade) {
    detail::Exec(db, "CREATE TRIGGER main." + Ident(TriggerName(r.Name, kTriggerKinds[2])) +
                         " AFTER DELETE ON " + table + " BEGIN DELETE FROM " + foreign + " WHERE " +
                         Match(r, "OLD.", "") + "; END");
  } else {
    detail::Exec(db, "CREATE TRIGGER main." + Ident(TriggerName(r.Name, kTriggerKinds[2])) +
                         " BEFORE DELETE ON " + table + " WHEN " + children + " BEGIN " +
                         refuseRelated + " END");
  }
  if (r.Attributes & dbRelationUpdateCascade) {
    std::string set;
    for (const Relation::FieldPair& p : r.Fields) {
      if (!set.empty())
        set += ", ";
      set += Ident(p.ForeignName) + " = NEW." + Ident(p.Name);
    }
    detail::Exec(db, "CREATE TRIGGER main." + Ident(TriggerName(r.Name, kTriggerKinds[3])) +
                         " AFTER UPDATE OF " + keyColumns + " ON " + table + " WHEN " + keyChanged +
                         " BEGIN UPDATE " + foreign + " SET " + set + " WHERE " +
                         Match(r, "OLD.", "") + "; END");
  } else {
    detail::Exec(db, "CREATE TRIGGER main." + Ident(TriggerName(r.Name, kTriggerKinds[3])) +
                         " BEFORE UPDATE OF " + keyColumns + " ON " + table + " WHEN (" +
                         keyChanged + ") AND " + children + " BEGIN " + refuseRelated + " END");
  }
}

void DropTriggers(sqlite3* db, const std::string& relation) {
  for (const char* kind : kTriggerKinds)
    detail::Exec(db, "DROP TRIGGER IF EXISTS main." + Ident(TriggerName(relation, kind)));
}

}  // namespace

namespace detail {

void DropRelationsOf(sqlite3* db, std::string_view table) {
  for (const Relation& r : ReadRelations(db)) {
    if (!EqualsNoCase(r.Table, table) && !EqualsNoCase(r.ForeignTable, table))
      continue;
    DropTriggers(db, r.Name);
    Statement s(db, "DELETE FROM main.MSysRelationships WHERE Name=?1 COLLATE NOCASE");
    s.Bind(1, r.Name);
    s.Step();
  }
}

std::optional<std::string> ForeignSideOf(sqlite3* db, const std::vector<std::string>& tables) {
  for (const Relation& r : ReadRelations(db)) {
    auto has = [&](const std::string& name) {
      return std::any_of(tables.begin(), tables.end(),
                         [&](const std::string& t) { return EqualsNoCase(t, name); });
    };
    if (has(r.Table) && has(r.ForeignTable)) {
      for (const std::string& t : tables) {
        if (EqualsNoCase(t, r.ForeignTable))
          return t;
      }
    }
  }
  return std::nullopt;
}

}  // namespace detail

void Relations::Append(const Relation& relation) {
  std::shared_ptr<detail::Core> core = db_->impl().core;
  sqlite3* db = core->Handle();
  detail::RunFaultHook("append", relation.Name);
  core->RequireWritable();
  if (relation.Name.empty())
    Fail(kErrInvalidName, "A relation needs a name.");
  if (relation.Fields.empty())
    Fail(kErrInvalidOperation, "Relation '" + relation.Name + "' pairs no fields.");
  for (const Relation& r : ReadRelations(db)) {
    if (EqualsNoCase(r.Name, relation.Name))
      Fail(kErrObjectExists, "A relation named '" + relation.Name + "' already exists.");
  }
  // Stored with the names as the tables spell them.
  Relation r = relation;
  std::optional<std::string> table = detail::LocalTableName(db, relation.Table);
  if (!table)
    Fail(kErrObjectNotFound, "There is no local table named '" + relation.Table + "'.");
  std::optional<std::string> foreign = detail::LocalTableName(db, relation.ForeignTable);
  if (!foreign)
    Fail(kErrObjectNotFound, "There is no local table named '" + relation.ForeignTable + "'.");
  r.Table = *table;
  r.ForeignTable = *foreign;
  for (Relation::FieldPair& p : r.Fields) {
    p.Name = RealColumnName(db, r.Table, p.Name);
    p.ForeignName = RealColumnName(db, r.ForeignTable, p.ForeignName);
  }
  detail::Savepoint savepoint(db);
  EnsureRelationsCatalog(db);
  for (std::size_t i = 0; i < r.Fields.size(); ++i) {
    detail::Statement s(
        db,
        "INSERT INTO main.MSysRelationships(Name, Ordinal, TableName, FieldName, "
        "ForeignTable, ForeignName, Attributes) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
    s.Bind(1, r.Name);
    s.Bind(2, static_cast<long long>(i));
    s.Bind(3, r.Table);
    s.Bind(4, r.Fields[i].Name);
    s.Bind(5, r.ForeignTable);
    s.Bind(6, r.Fields[i].ForeignName);
    s.Bind(7, static_cast<long long>(r.Attributes));
    s.Step();
  }
  CreateTriggers(db, r);
  savepoint.Release();
  // The first relation creates MSysRelationships, a system table the list should show.
  if (db_->impl().tableDefs)
    db_->impl().tableDefs->Refresh();
}

int Relations::Count() const {
  return static_cast<int>(ReadRelations(db_->impl().core->Handle()).size());
}

Relation Relations::Item(int index) const {
  std::vector<Relation> relations = ReadRelations(db_->impl().core->Handle());
  if (index < 0 || index >= static_cast<int>(relations.size()))
    Fail(kErrItemNotFound, "There is no relation number " + std::to_string(index) + ".");
  return relations[static_cast<std::size_t>(index)];
}

}  // namespace dao
