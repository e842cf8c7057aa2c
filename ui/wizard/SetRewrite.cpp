#include "ui/wizard/SetRewrite.h"

#include <cstdint>
#include <memory>

#include "dao/dao.h"
#include "engine/ComponentState.h"
#include "engine/Engine.h"
#include "ui/wizard/frmFixSet.h"
#include "uikit/controls.h"

namespace orvanta {
namespace {

// The ID of the set named name. Names are compared without regard to case inside SQL, so an old
// file may hold two rows that both answer to the name; the one whose name matches exactly and
// that is active wins, then an exact match, then the first. IDs are 32-bit like the column.
std::int32_t setId(dao::Database& db, const std::string& name) {
  auto rs =
      db.OpenRecordset("SELECT ID, Name, ActiveSet FROM tblLinkedSets WHERE Name=" + sqlText(name),
                       dao::dbOpenSnapshot);
  rs->MoveFirst();  // no row: the engine's "no current record"
  std::int32_t id = rs->Field("ID").AsInt32();
  int best = 0;
  for (; !rs->AtEOF(); rs->MoveNext()) {
    const bool exact = rs->Field("Name").AsString() == name;
    const int rank = exact ? (rs->Field("ActiveSet").AsBool() ? 2 : 1) : 0;
    if (rank > best) {
      best = rank;
      id = rs->Field("ID").AsInt32();
    }
  }
  return id;
}

// A link as a set row stores it: the connect string is copied into the definition unchanged.
struct StoredLink {
  std::string table;
  std::string connect;
};

std::vector<StoredLink> stored(const std::vector<ChosenLink>& links) {
  std::vector<StoredLink> rows;
  for (const ChosenLink& link : links)
    rows.push_back({link.table, connectString(link.backEndPath)});
  return rows;
}

// Rebuilds the front end's linked table definitions from links: every linked definition goes,
// then one per link, named as the back end names the table. Local tables are never touched.
void relinkFrontEnd(dao::Database& db, const std::vector<StoredLink>& links) {
  dao::TableDefs& defs = db.TableDefs();
  std::vector<std::string> linked;
  for (int i = defs.Count() - 1; i >= 0; --i) {
    const dao::TableDef def = defs.Item(i);
    if (!def.Connect().empty())
      linked.push_back(def.Name());
  }
  for (const std::string& name : linked)
    defs.Delete(name);
  defs.Refresh();
  for (const StoredLink& link : links) {
    dao::TableDef def = db.CreateTableDef(link.table, 0, link.table, link.connect);
    defs.Append(def);
  }
  defs.Refresh();
}

// Replaces the link rows of set id by links, then relinks the front end to the same links: what
// the set holds is what the front end is linked to.
void writeLinksAndRelink(dao::Database& db, std::int32_t id, const std::vector<StoredLink>& links) {
  const std::string idText = std::to_string(id);
  db.Execute("DELETE * FROM tblLinkedTables WHERE LinkSetID = " + idText);
  {
    auto rs = db.OpenRecordset("SELECT * FROM tblLinkedTables WHERE LinkSetID = " + idText);
    for (const StoredLink& link : links) {
      rs->AddNew();
      rs->SetField("LinkSetID", dao::Value(static_cast<long long>(id)));
      rs->SetField("TableName", dao::Value(link.table));
      rs->SetField("DatabasePath", dao::Value(link.connect));
      rs->Update();
    }
    rs->Close();
  }
  relinkFrontEnd(db, links);
}

// Runs work inside one transaction on the link-set database: committed when it returns, rolled
// back (set rows and table definitions alike) when it throws.
template <class Work>
void inOneTransaction(Work&& work) {
  auto db = dao::OpenDatabase(linkSetDatabase());
  db->BeginTrans();
  try {
    work(*db);
    db->CommitTrans();
  } catch (...) {
    try {
      if (db->InTransaction())
        db->Rollback();
    } catch (const dao::Error&) {
      // The first failure is the one worth reporting; closing the file drops the transaction.
    }
    throw;
  }
}

}  // namespace

std::vector<ChosenLink> chosenLinks(const uikit::ListBox& lstTables) {
  std::vector<ChosenLink> links;
  for (const auto& item : lstTables.items()) {
    // A row without a path is a table the user left unresolved; it is dropped, never stored as
    // a link to nowhere.
    std::string path = pathOfRow(item.text);
    if (path.empty())
      continue;
    links.push_back({tableOfRow(item.text), std::move(path)});
  }
  return links;
}

void applyActiveSet() {
  inOneTransaction([](dao::Database& db) {
    std::vector<StoredLink> links;
    {
      auto rs = db.OpenRecordset(linksStatement(state().activeSetName), dao::dbOpenSnapshot);
      for (; !rs->AtEOF(); rs->MoveNext()) {
        links.push_back({rs->Field("TableName").AsString(), rs->Field("DatabasePath").AsString()});
      }
    }
    relinkFrontEnd(db, links);
  });
}

void rewriteActiveSetLinks(const std::vector<ChosenLink>& links) {
  const std::string name = state().activeSetName;
  inOneTransaction(
      [&](dao::Database& db) { writeLinksAndRelink(db, setId(db, name), stored(links)); });
}

void createActiveSetWithLinks(const std::string& name, const std::string& description,
                              const std::vector<ChosenLink>& links) {
  inOneTransaction([&](dao::Database& db) {
    std::int32_t id = 0;
    {
      auto rs = db.OpenRecordset("SELECT * FROM tblLinkedSets");
      rs->AddNew();
      rs->SetField("Name", dao::Value(name));
      rs->SetField("Description", dao::Value(description));
      rs->SetField("FrontEndPath", dao::Value(state().currentFrontEndPath));
      rs->SetField("ActiveSet", dao::Value::Boolean(false));
      rs->SetField("ValidSet", dao::Value::Boolean(false));
      rs->Update();
      id = rs->Field("ID").AsInt32();
      rs->Close();
    }
    // Exactly the new row is the active set afterwards.
    db.Execute("UPDATE tblLinkedSets SET ActiveSet = 0");
    db.Execute("UPDATE tblLinkedSets SET ActiveSet = -1 WHERE ID = " + std::to_string(id));
    writeLinksAndRelink(db, id, stored(links));
  });
  // The component learns of the new active set only once it is really there.
  state().activeSetName = name;
  state().activeSetDescription = description;
}

}  // namespace orvanta
