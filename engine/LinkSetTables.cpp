// The two hidden tables that hold the link sets inside the front end, and their relation.
//
// The tables are built lazily: nothing checks for them up front, and the first statement that
// finds tblLinkedSets missing (error 3078) builds both. Building is not transactional on
// purpose: a front end that already holds a tblLinkedTables of its own keeps the tblLinkedSets
// built before the clash, and the clash is reported so the user can see what is in the way.
#include <memory>
#include <string>

#include "dao/dao.h"
#include "engine/ComponentState.h"
#include "engine/Engine.h"
#include "engine/LinkSetStore.h"
#include "engine/Procedure.h"
#include "engine/Reports.h"

namespace orvanta {
namespace detail {
namespace {

constexpr long kCascadeUpdateAndDelete =
    dao::dbRelationUpdateCascade | dao::dbRelationDeleteCascade;  // 4352

dao::Field autoNumberKey(const dao::TableDef& def) {
  dao::Field id = def.CreateField("ID", dao::dbLong);
  id.Attributes = dao::dbAutoIncrField;
  return id;
}

dao::Index primaryKeyOnId(const dao::TableDef& def) {
  dao::Index key = def.CreateIndex("PrimaryKey");
  key.AppendField("ID");
  key.Primary = true;
  key.Unique = true;
  return key;
}

void appendSetsTable(dao::Database& db) {
  dao::TableDef sets = db.CreateTableDef("tblLinkedSets");
  sets.SetAttributes(dao::dbHiddenObject);
  sets.AppendField(autoNumberKey(sets));
  sets.AppendField(sets.CreateField("Name", dao::dbText));
  dao::Field description = sets.CreateField("Description", dao::dbText);
  description.AllowZeroLength = true;
  sets.AppendField(description);
  sets.AppendField(sets.CreateField("FrontEndPath", dao::dbText));
  sets.AppendField(sets.CreateField("ActiveSet", dao::dbBoolean));
  sets.AppendField(sets.CreateField("ValidSet", dao::dbBoolean));
  sets.AppendIndex(primaryKeyOnId(sets));
  db.TableDefs().Append(sets);
}

void appendLinksTable(dao::Database& db) {
  dao::TableDef links = db.CreateTableDef("tblLinkedTables");
  links.SetAttributes(dao::dbHiddenObject);
  links.AppendField(autoNumberKey(links));
  dao::Field setId = links.CreateField("LinkSetID", dao::dbLong);
  setId.Required = true;
  links.AppendField(setId);
  links.AppendField(links.CreateField("TableName", dao::dbText));
  links.AppendField(links.CreateField("DatabasePath", dao::dbText));
  links.AppendIndex(primaryKeyOnId(links));
  dao::Index bySet = links.CreateIndex("LinkSetID");
  bySet.AppendField("LinkSetID");
  bySet.Unique = false;
  links.AppendIndex(bySet);
  db.TableDefs().Append(links);
}

void appendRelation(dao::Database& db) {
  // Deleting a set row must take its link rows with it: DeleteLinkSet relies on the cascade.
  dao::Relation relation = db.CreateRelation("LinkSetToLinkTables", "tblLinkedSets",
                                             "tblLinkedTables", kCascadeUpdateAndDelete);
  relation.AppendField("ID", "LinkSetID");
  db.Relations().Append(relation);
}

}  // namespace

bool createMissingTablesIn(dao::Database& db) {
  return trapped("CreateMissingTables", false, [&] {
    appendSetsTable(db);
    appendLinksTable(db);
    appendRelation(db);
    return true;
  });
}

std::unique_ptr<dao::Recordset> openSetRows(dao::Database& db) {
  static const std::string kAllSets = "SELECT * FROM tblLinkedSets";
  try {
    return db.OpenRecordset(kAllSets);
  } catch (const dao::Error& e) {
    if (e.Number() != dao::kErrTableNotFound)
      throw;
  }
  createMissingTablesIn(db);
  return db.OpenRecordset(kAllSets);
}

std::unique_ptr<dao::Database> openLinkSetDatabase() {
  return dao::OpenDatabase(linkSetDatabase());
}

}  // namespace detail

bool CreateMissingTables(const std::string& path) {
  std::unique_ptr<dao::Database> db;
  try {
    db = dao::OpenDatabase(path);
  } catch (const dao::Error& e) {
    reportEngineError("CreateMissingTables", e);
    return false;
  }
  return detail::createMissingTablesIn(*db);
}

}  // namespace orvanta
