#include "ui/sets/SetRows.h"

#include <algorithm>
#include <cctype>
#include <memory>

#include "dao/dao.h"
#include "engine/Engine.h"
#include "engine/LinkSetStore.h"
#include "engine/Procedure.h"
#include "paths/PathText.h"

namespace orvanta {
namespace {

// The number after "Set" in a name, or 0 when the rest is not a whole number. More digits than
// fit are no number either: a name the next number could collide with never has that many.
long long setNumber(const std::string& name) {
  constexpr std::size_t kMaxDigits = 18;
  if (name.size() <= 3 || !paths::equalsIgnoringCase(name.substr(0, 3), "Set"))
    return 0;
  const std::string digits = name.substr(3);
  if (digits.size() > kMaxDigits || !std::all_of(digits.begin(), digits.end(), [](unsigned char c) {
        return std::isdigit(c) != 0;
      })) {
    return 0;
  }
  return std::stoll(digits);
}

}  // namespace

std::vector<StoredSet> storedSets(dao::Database& db) {
  std::vector<StoredSet> sets;
  std::unique_ptr<dao::Recordset> rows;
  try {
    rows = db.OpenRecordset("SELECT * From tblLinkedSets", dao::dbOpenSnapshot);
  } catch (const dao::Error& e) {
    if (e.Number() == dao::kErrTableNotFound)
      return sets;
    throw;
  }
  for (; !rows->AtEOF(); rows->MoveNext()) {
    StoredSet set{rows->Field("ID").AsInt32(), rows->Field("Name").AsString(),
                  rows->Field("Description").AsString(),
                  detail::storedActiveFlag(*rows).value_or(false)};
    try {
      set.valid = rows->Field("ValidSet").AsBool();
    } catch (const dao::Error&) {
    }
    sets.push_back(std::move(set));
  }
  return sets;
}

std::vector<StoredSet> storedSets() {
  return storedSets(*detail::openLinkSetDatabase());
}

std::string nextSetName(const std::vector<StoredSet>& sets) {
  long long highest = 0;
  for (const StoredSet& set : sets)
    highest = std::max(highest, setNumber(set.name));
  return "Set" + std::to_string(highest + 1);
}

bool nameTakenByAnother(const std::vector<StoredSet>& sets, const std::string& name,
                        const std::string& ownName) {
  const auto own = std::find_if(sets.begin(), sets.end(),
                                [&](const StoredSet& set) { return set.name == ownName; });
  for (auto it = sets.begin(); it != sets.end(); ++it) {
    if (it != own && paths::equalsIgnoringCase(it->name, name))
      return true;
  }
  return false;
}

bool renameSet(const std::string& ownName, const std::string& name,
               const std::string& description) {
  auto db = detail::openLinkSetDatabase();
  const std::int32_t id = detail::setIdOf(*db, ownName);
  auto row = db->OpenRecordset("SELECT * From tblLinkedSets WHERE ID=" + std::to_string(id));
  const bool active = detail::storedActiveFlag(*row).value_or(false);
  row->Edit();
  row->SetField("Name", name);
  row->SetField("Description", description);
  row->Update();
  return active;
}

void duplicateSet(const std::string& source, const std::string& newName,
                  const std::string& newDescription) {
  auto db = detail::openLinkSetDatabase();
  detail::Transaction transaction(*db);
  const std::int32_t sourceId = detail::setIdOf(*db, source);
  const std::int32_t copyId = detail::createLinkSetIn(*db, newName, newDescription);
  {
    auto from = db->OpenRecordset(detail::linkRowsOf(sourceId), dao::dbOpenSnapshot);
    auto to = db->OpenRecordset(detail::linkRowsOf(copyId));
    for (; !from->AtEOF(); from->MoveNext()) {
      detail::addLinkRow(*to, copyId, from->Field("TableName").AsString(),
                         from->Field("DatabasePath").AsString());
    }
  }
  transaction.commit();
}

int linkCount(const std::string& setName) {
  auto db = detail::openLinkSetDatabase();
  auto links = db->OpenRecordset(linksStatement(setName), dao::dbOpenSnapshot);
  return static_cast<int>(links->RecordCount());
}

}  // namespace orvanta
