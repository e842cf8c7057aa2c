// The catalog: MSysTableDefs holds what SQLite's schema cannot (linked table definitions and
// the attributes of local tables). Its layout is a documented contract that other tools read
// and write, so it is created exactly as documented, and only when something must be written:
// opening or listing a file never changes it.
#include <string>
#include <vector>

#include "dao/internal.h"

namespace dao::detail {

bool IsSystemName(std::string_view name) {
  return StartsWithNoCase(name, "MSys");
}

bool TableExists(sqlite3* db, std::string_view name, std::string_view schema) {
  const std::string sql = "SELECT 1 FROM " + Ident(schema) +
                          ".sqlite_schema WHERE type='table' AND name=?1 COLLATE NOCASE";
  // Kept for the main schema only: an attached back end's alias is never used again once
  // detached, and a statement kept for it would only take room.
  Statement s = schema == "main" ? Statement::Cached(db, sql) : Statement(db, sql);
  s.Bind(1, std::string(name));
  return s.Step();
}

std::optional<std::string> LocalTableName(sqlite3* db, std::string_view name) {
  Statement s = Statement::Cached(
      db, "SELECT name FROM main.sqlite_schema WHERE type='table' AND name=?1 COLLATE NOCASE");
  s.Bind(1, std::string(name));
  if (!s.Step())
    return std::nullopt;
  return s.Text(0);
}

std::vector<std::string> LocalTables(sqlite3* db) {
  // SQLite's own tables (sqlite_sequence, sqlite_stat1 ...) are the engine's business.
  Statement s(db,
              "SELECT name FROM main.sqlite_schema WHERE type='table' "
              "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\'");
  std::vector<std::string> names;
  while (s.Step())
    names.push_back(s.Text(0));
  return names;
}

void EnsureCatalog(sqlite3* db) {
  if (TableExists(db, kCatalogTable))
    return;
  Exec(db,
       "CREATE TABLE IF NOT EXISTS MSysTableDefs(Name TEXT NOT NULL PRIMARY KEY COLLATE NOCASE, "
       "Connect TEXT NOT NULL DEFAULT '', SourceTableName TEXT NOT NULL DEFAULT '', "
       "Attributes INTEGER NOT NULL DEFAULT 0)");
}

namespace {
CatalogRow ReadRow(const Statement& s) {
  CatalogRow row;
  row.name = s.Text(0);
  row.connect = s.Text(1);
  row.source = s.Text(2);
  row.attributes = static_cast<long>(s.Int(3));
  return row;
}
}  // namespace

std::vector<CatalogRow> ReadCatalog(sqlite3* db) {
  std::vector<CatalogRow> rows;
  if (!TableExists(db, kCatalogTable))
    return rows;
  Statement s(db, "SELECT Name, Connect, SourceTableName, Attributes FROM main.MSysTableDefs");
  while (s.Step())
    rows.push_back(ReadRow(s));
  return rows;
}

std::optional<CatalogRow> FindCatalogRow(sqlite3* db, std::string_view name) {
  if (!TableExists(db, kCatalogTable))
    return std::nullopt;
  Statement s =
      Statement::Cached(db,
                        "SELECT Name, Connect, SourceTableName, Attributes FROM main.MSysTableDefs "
                        "WHERE Name=?1 COLLATE NOCASE");
  s.Bind(1, std::string(name));
  if (!s.Step())
    return std::nullopt;
  return ReadRow(s);
}

void WriteCatalogRow(sqlite3* db, const CatalogRow& row) {
  EnsureCatalog(db);
  Statement s =
      Statement::Cached(db,
                        "INSERT OR REPLACE INTO main.MSysTableDefs(Name, Connect, SourceTableName, "
                        "Attributes) VALUES (?1, ?2, ?3, ?4)");
  s.Bind(1, row.name);
  s.Bind(2, row.connect);
  s.Bind(3, row.source);
  s.Bind(4, static_cast<long long>(row.attributes));
  s.Step();
}

void DeleteCatalogRow(sqlite3* db, std::string_view name) {
  if (!TableExists(db, kCatalogTable))
    return;
  Statement s =
      Statement::Cached(db, "DELETE FROM main.MSysTableDefs WHERE Name=?1 COLLATE NOCASE");
  s.Bind(1, std::string(name));
  s.Step();
}

std::vector<std::string> TableColumns(sqlite3* db, std::string_view table,
                                      std::string_view schema) {
  Statement s(db, "SELECT name FROM pragma_table_info(?1, ?2)");
  s.Bind(1, std::string(table));
  s.Bind(2, std::string(schema));
  std::vector<std::string> columns;
  while (s.Step())
    columns.push_back(s.Text(0));
  return columns;
}

}  // namespace dao::detail
