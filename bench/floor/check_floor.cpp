#include "bench/floor/check_floor.h"

#include <sqlite3.h>

#include <map>
#include <set>
#include <string>

namespace floorcheck {
namespace {

// The DATABASE part of a connect string, as plainly as a hand-written tool would take it.
std::string databaseOf(const std::string& connect) {
  const std::size_t at = connect.find("DATABASE=");
  if (at == std::string::npos)
    return "";
  const std::size_t from = at + 9;
  const std::size_t end = connect.find(';', from);
  return connect.substr(from, end == std::string::npos ? std::string::npos : end - from);
}

sqlite3* openReadOnly(const std::string& path) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    return nullptr;
  }
  return db;
}

// Steps sql to its end; false on any failure.
template <typename Row>
bool each(sqlite3* db, const std::string& sql, Row row) {
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
    return false;
  int rc;
  while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
    row(stmt);
  sqlite3_finalize(stmt);
  return rc == SQLITE_DONE;
}

std::string text(sqlite3_stmt* stmt, int column) {
  const unsigned char* value = sqlite3_column_text(stmt, column);
  return value ? reinterpret_cast<const char*>(value) : "";
}

}  // namespace

int run(const char* frontEnd) {
  sqlite3* fe = openReadOnly(frontEnd);
  if (!fe)
    return -1;
  std::map<std::string, std::set<std::string>> tables;  // back end -> source tables
  const bool read =
      each(fe, "SELECT Connect, SourceTableName FROM MSysTableDefs WHERE Connect <> ''",
           [&](sqlite3_stmt* s) { tables[databaseOf(text(s, 0))].insert(text(s, 1)); }) &&
      each(fe, "SELECT TableName, DatabasePath FROM tblLinkedTables",
           [&](sqlite3_stmt* s) { tables[databaseOf(text(s, 1))].insert(text(s, 0)); });
  sqlite3_close(fe);
  if (!read)
    return -1;
  int pairs = 0;
  for (const auto& [path, names] : tables) {
    sqlite3* be = openReadOnly(path);
    if (!be)
      return -1;
    for (const std::string& name : names) {
      if (!each(be, "SELECT * FROM \"" + name + "\" LIMIT 1", [](sqlite3_stmt*) {})) {
        sqlite3_close(be);
        return -1;
      }
      ++pairs;
    }
    sqlite3_close(be);
  }
  return pairs;
}

int relink(const char* frontEnd, const char* setName) {
  sqlite3* fe = nullptr;
  if (sqlite3_open_v2(frontEnd, &fe, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
    sqlite3_close(fe);
    return -1;
  }
  std::map<std::string, std::set<std::string>> tables;  // back end -> source tables
  std::map<std::string, std::string> links;             // table -> connect
  sqlite3_stmt* insert = nullptr;
  bool ok = sqlite3_exec(fe, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK &&
            each(fe,
                 "SELECT TableName, DatabasePath FROM tblLinkedSets INNER JOIN tblLinkedTables "
                 "ON tblLinkedSets.ID = tblLinkedTables.LinkSetID WHERE Name='" +
                     std::string(setName) + "'",
                 [&](sqlite3_stmt* s) {
                   links[text(s, 0)] = text(s, 1);
                   tables[databaseOf(text(s, 1))].insert(text(s, 0));
                 });
  for (auto it = tables.begin(); ok && it != tables.end(); ++it) {
    sqlite3* be = openReadOnly(it->first);
    ok = be != nullptr;
    for (const std::string& name : it->second) {
      int found = 0;
      ok = ok &&
           each(be,
                "SELECT 1 FROM sqlite_schema WHERE type='table' AND name='" + name +
                    "' COLLATE NOCASE",
                [&](sqlite3_stmt*) { ++found; }) &&
           found == 1;
    }
    sqlite3_close(be);
  }
  ok = ok &&
       sqlite3_exec(fe, "DELETE FROM MSysTableDefs WHERE Connect <> ''", nullptr, nullptr,
                    nullptr) == SQLITE_OK &&
       sqlite3_prepare_v2(fe,
                          "INSERT INTO MSysTableDefs (Name, Connect, SourceTableName) "
                          "VALUES (?1, ?2, ?1)",
                          -1, &insert, nullptr) == SQLITE_OK;
  for (auto it = links.begin(); ok && it != links.end(); ++it) {
    sqlite3_bind_text(insert, 1, it->first.c_str(), -1, SQLITE_STATIC);
    sqlite3_bind_text(insert, 2, it->second.c_str(), -1, SQLITE_STATIC);
    ok = sqlite3_step(insert) == SQLITE_DONE;
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  ok = ok && sqlite3_exec(fe, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
  if (!ok)
    sqlite3_exec(fe, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(fe);
  return ok ? static_cast<int>(links.size()) : -1;
}

}  // namespace floorcheck
