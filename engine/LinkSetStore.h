// The link-set store's building blocks, each working on a database the caller has open and
// throwing dao::Error on failure. The public procedures of Engine.h open their own connection,
// trap and report; composite work (moving a set to another back end) calls several of these on
// one connection inside one transaction so that it is all or nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "dao/dao.h"

namespace orvanta::detail {

// Opens the link-set database (shared, read-write).
std::unique_ptr<dao::Database> openLinkSetDatabase();

// Builds both link-set tables and their relation in db. A failure is shown as the
// "CreateMissingTables - <n>" report and yields false; what was built before it stays.
bool createMissingTablesIn(dao::Database& db);

// Opens "SELECT * FROM tblLinkedSets", building the link-set tables first when they are missing.
std::unique_ptr<dao::Recordset> openSetRows(dao::Database& db);

// Adds a set row named name and returns its ID.
std::int32_t createLinkSetIn(dao::Database& db, const std::string& name,
                             const std::string& description);

// The ID of the set row of that name. Names compare ignoring case inside SQL, so an old file may
// hold several rows answering to the name: an exact, active match wins, then an exact match,
// then the first row. Error 3021 when there is none.
std::int32_t setIdOf(dao::Database& db, const std::string& name);

// The ActiveSet flag of the set row rows is on. Another tool may have stored a value that the
// layer's conversions make no Boolean ('yes'): then that row cannot be read, the result is
// nullopt and *problem (when given) says why, so callers leave the row out and go on.
std::optional<bool> storedActiveFlag(const dao::Recordset& rows, dao::Error* problem = nullptr);

// "SELECT * FROM tblLinkedTables WHERE LinkSetID=<id>": the link rows of one set, updatable.
std::string linkRowsOf(std::int32_t setId);
// Adds a link row (table name, connect string) to set setId through rows.
void addLinkRow(dao::Recordset& rows, std::int32_t setId, const std::string& tableName,
                const std::string& connect);

// Adds to set setId a link row for each linked table definition of db whose back-end table the
// set does not record yet.
void addCurrentLinksIn(dao::Database& db, std::int32_t setId);

// Rebuilds db's linked table definitions from the links of the set named setName: every linked
// definition goes, then one per link, named as the back end names the table. Local tables are
// never touched. Throws when a back end or its table cannot be reached; callers run it inside a
// transaction so that the front end then keeps what it had.
void linkTablesToSetIn(dao::Database& db, const std::string& setName);
// The same from the links of the set row setId: names compare ignoring case inside SQL, so
// only the ID tells apart sets whose names differ in letter case alone.
void linkTablesToSetIdIn(dao::Database& db, std::int32_t setId);

// Appends to db a linked definition of the back-end table tableName under the same local name.
// The layer refuses it (3024, 3051, 3343, 3356 for the file, 3011 for the table, 3012 for a
// name already taken) without changing anything.
void appendLink(dao::Database& db, const std::string& tableName, const std::string& connect);

// The linked definition that serves the link (tableName, connect): the one named tableName
// (ignoring case, as the catalog does), else the one taking tableName from the back end that
// connect names (connect strings compare ignoring case). Nothing when neither exists.
std::optional<std::string> definitionOfLink(dao::Database& db, const std::string& tableName,
                                            const std::string& connect);

// Makes the backup link set "<name>-Backup(<n>)" holding copies of the named set's link rows.
void duplicateLinkSetIn(dao::Database& db, const std::string& name, const std::string& description);

// Deletes the linked table definitions of db that the active set does not define.
void removeExtraLinksIn(dao::Database& db);

}  // namespace orvanta::detail
