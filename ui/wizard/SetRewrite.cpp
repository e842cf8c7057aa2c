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
  // Every link was just appended, and appending a link proves its back end holds the table: the
  // stored verdict says so at once, not only after the next validation.
  db.Execute("UPDATE tblLinkedSets SET ValidSet = -1 WHERE ID = " + std::to_string(id));
}

// Adds a set row and makes it the one active set; returns its ID.
std::int32_t createActiveSetIn(dao::Database& db, const std::string& name,
                               const std::string& description) {
  const std::int32_t id = detail::createLinkSetIn(db, name, description);
  db.Execute("UPDATE tblLinkedSets SET ActiveSet = 0");
  db.Execute("UPDATE tblLinkedSets SET ActiveSet = -1 WHERE ID = " + std::to_string(id));
  return id;
}

// The component learns of a new active set only once it is really there.
void nowActive(const std::string& name, const std::string& description) {
  state().activeSetName = name;
  state().activeSetDescription = description;
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

std::vector<ChosenLink> chosenLinks(const frmFixSet& page) {
  std::vector<ChosenLink> links;
  const auto& required = page.requiredTables();
  for (int i = 0; i < page.lstTables.ListCount(); ++i) {
    const auto& row = required.at(static_cast<std::size_t>(i));
    // A row without a path is a table the user left unresolved; it is dropped, never stored as
    // a link to nowhere.
    if (page.lstTables.Selected(i) && !row.path.empty())
      links.push_back({row.table, row.path});
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
    writeLinksAndRelink(db, createActiveSetIn(db, name, description), name, links);
  });
  nowActive(name, description);
}

void replaceActiveSetWithCurrentLinks() {
  inOneTransaction([](dao::Database& db) {
    const std::int32_t id = detail::setIdOf(db, state().activeSetName);
    db.Execute("DELETE * FROM tblLinkedTables WHERE LinkSetID = " + std::to_string(id));
    detail::addCurrentLinksIn(db, id);
  });
}

void createActiveSetFromCurrentLinks(const std::string& name, const std::string& description) {
  inOneTransaction([&](dao::Database& db) {
    detail::addCurrentLinksIn(db, createActiveSetIn(db, name, description));
  });
  nowActive(name, description);
}

}  // namespace orvanta
