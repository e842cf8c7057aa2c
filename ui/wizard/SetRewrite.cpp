#include "ui/wizard/SetRewrite.h"

#include <cstdint>
#include <map>
#include <memory>

#include "dao/connect.h"
#include "dao/dao.h"
#include "engine/ComponentState.h"
#include "engine/Engine.h"
#include "engine/LinkSetStore.h"
#include "engine/Procedure.h"
#include "ui/wizard/frmFixSet.h"
#include "uikit/controls.h"

namespace orvanta {
namespace {

// Replaces the link rows of set id by links, then relinks the front end to that set: what the
// set holds is what the front end is linked to.
void writeLinksAndRelink(dao::Database& db, std::int32_t id, const std::string& setName,
                         const std::vector<ChosenLink>& links) {
  // The other parts of a row's connect string (a password another tool wrote) stay with its
  // table when the table is pointed at another file.
  std::map<std::string, std::string> previous;
  {
    auto rows = db.OpenRecordset(detail::linkRowsOf(id), dao::dbOpenSnapshot);
    for (; !rows->AtEOF(); rows->MoveNext())
      previous.emplace(rows->Field("TableName").AsString(), rows->Field("DatabasePath").AsString());
  }
  db.Execute("DELETE * FROM tblLinkedTables WHERE LinkSetID = " + std::to_string(id));
  {
    auto rows = db.OpenRecordset(detail::linkRowsOf(id));
    for (const ChosenLink& link : links) {
      const auto old = previous.find(link.table);
      detail::addLinkRow(*rows, id, link.table,
                         old == previous.end()
                             ? connectString(link.backEndPath)
                             : dao::ConnectWithDatabase(old->second, link.backEndPath));
    }
    rows->Close();
  }
  detail::linkTablesToSetIn(db, setName);
}

// Runs work inside one transaction on the link-set database: committed when it returns, rolled
// back (set rows and table definitions alike) when it throws.
template <class Work>
void inOneTransaction(Work&& work) {
  auto db = detail::openLinkSetDatabase();
  detail::Transaction transaction(*db);
  work(*db);
  transaction.commit();
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
  inOneTransaction([](dao::Database& db) { detail::linkTablesToSetIn(db, state().activeSetName); });
}

void rewriteActiveSetLinks(const std::vector<ChosenLink>& links) {
  const std::string name = state().activeSetName;
  inOneTransaction(
      [&](dao::Database& db) { writeLinksAndRelink(db, detail::setIdOf(db, name), name, links); });
}

void createActiveSetWithLinks(const std::string& name, const std::string& description,
                              const std::vector<ChosenLink>& links) {
  inOneTransaction([&](dao::Database& db) {
    const std::int32_t id = detail::createLinkSetIn(db, name, description);
    // Exactly the new row is the active set afterwards.
    db.Execute("UPDATE tblLinkedSets SET ActiveSet = 0");
    db.Execute("UPDATE tblLinkedSets SET ActiveSet = -1 WHERE ID = " + std::to_string(id));
    writeLinksAndRelink(db, id, name, links);
  });
  // The component learns of the new active set only once it is really there.
  state().activeSetName = name;
  state().activeSetDescription = description;
}

}  // namespace orvanta
