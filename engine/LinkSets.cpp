// Operations on link sets and their link rows in the link-set database.
//
// Names reach the statements as quoted text values, so a set called O'Brien works like any
// other. Set identifiers are carried at the columns' full 32-bit width.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "dao/dao.h"
#include "engine/ComponentState.h"
#include "engine/Engine.h"
#include "engine/LinkSetStore.h"
#include "engine/Procedure.h"
#include "paths/PathText.h"

namespace orvanta {
namespace detail {
namespace {

// The number n of a backup name "<prefix>n)", or nothing when the name does not have that form.
// A name like "Office-Backup(old)" is somebody's own set, not a numbered backup, and must not
// stop the next backup from being made.
std::optional<long long> backupNumber(const std::string& name, const std::string& prefix) {
  if (name.size() < prefix.size() || name.compare(0, prefix.size(), prefix) != 0) {
    return std::nullopt;
  }
  const auto close = name.find(')', prefix.size());
  if (close == std::string::npos)
    return std::nullopt;
  const std::string digits = name.substr(prefix.size(), close - prefix.size());
  constexpr std::size_t kMaxDigits = 18;  // keeps n + 1 inside long long
  if (digits.empty() || digits.size() > kMaxDigits ||
      !std::all_of(digits.begin(), digits.end(),
                   [](unsigned char c) { return std::isdigit(c) != 0; })) {
    return std::nullopt;
  }
  return std::stoll(digits);
}

}  // namespace

std::optional<std::string> definitionOfLink(dao::Database& db, const std::string& tableName,
                                            const std::string& connect) {
  // A local table that happens to carry the table's name is data and is never a candidate.
  std::optional<std::string> byConnect;
  for (const dao::TableDef& def : db.TableDefs()) {
    const std::string defConnect = def.Connect();
    if (defConnect.empty())
      continue;
    if (paths::equalsIgnoringCase(def.Name(), tableName))
      return def.Name();
    if (!byConnect && def.SourceTableName() == tableName && !connect.empty() &&
        paths::equalsIgnoringCase(defConnect, connect)) {
      byConnect = def.Name();
    }
  }
  return byConnect;
}

std::int32_t createLinkSetIn(dao::Database& db, const std::string& name,
                             const std::string& description) {
  auto sets = openSetRows(db);
  sets->AddNew();
  sets->SetField("Name", name);
  sets->SetField("Description", description);
  sets->SetField("FrontEndPath", state().currentFrontEndPath);
  // A new set is neither active nor validated; stored as False rather than left Null so that
  // every reader sees the same answer.
  sets->SetField("ActiveSet", dao::Value::Boolean(false));
  sets->SetField("ValidSet", dao::Value::Boolean(false));
  sets->Update();
  return sets->Field("ID").AsInt32();
}

std::int32_t setIdOf(dao::Database& db, const std::string& name) {
  auto rows =
      db.OpenRecordset("SELECT ID, Name, ActiveSet FROM tblLinkedSets WHERE Name=" + sqlText(name),
                       dao::dbOpenSnapshot);
  std::int32_t id = rows->Field("ID").AsInt32();  // error 3021 when no set has that name
  int best = 0;
  for (; !rows->AtEOF(); rows->MoveNext()) {
    const bool exact = rows->Field("Name").AsString() == name;
    const int rank = exact ? (storedActiveFlag(*rows).value_or(false) ? 2 : 1) : 0;
    if (rank > best) {
      best = rank;
      id = rows->Field("ID").AsInt32();
    }
  }
  return id;
}

std::optional<bool> storedActiveFlag(const dao::Recordset& rows, dao::Error* problem) {
  try {
    return rows.Field("ActiveSet").AsBool();
  } catch (const dao::Error& e) {
    if (e.Number() != dao::kErrTypeMismatch && e.Number() != dao::kErrOverflow)
      throw;
    if (problem)
      *problem = e;
    return std::nullopt;
  }
}

std::string linkRowsOf(std::int32_t setId) {
  return "SELECT * FROM tblLinkedTables WHERE LinkSetID=" + std::to_string(setId);
}

void addLinkRow(dao::Recordset& rows, std::int32_t setId, const std::string& tableName,
                const std::string& connect) {
  rows.AddNew();
  rows.SetField("LinkSetID", setId);
  rows.SetField("TableName", tableName);
  rows.SetField("DatabasePath", connect);
  rows.Update();
}

void duplicateLinkSetIn(dao::Database& db, const std::string& name,
                        const std::string& description) {
  const std::string prefix = name + "-Backup(";
  long long highest = 0;
  {
    auto sets = db.OpenRecordset("SELECT * From tblLinkedSets");
    for (; !sets->AtEOF(); sets->MoveNext()) {
      const auto number = backupNumber(sets->Field("Name").AsString(), prefix);
      if (number && *number > highest)
        highest = *number;
    }
  }
  const std::string backupName = prefix + std::to_string(highest + 1) + ")";
  // The new row's own ID, not a lookup by name: the engine compares names ignoring case, and an
  // older set spelt differently must not receive the copies.
  const std::int32_t backupId = createLinkSetIn(db, backupName, "Backup of " + description);

  auto source = db.OpenRecordset(linksStatement(name), dao::dbOpenSnapshot);
  if (source->AtEOF())
    return;
  auto target = db.OpenRecordset(linkRowsOf(backupId));
  for (; !source->AtEOF(); source->MoveNext()) {
    addLinkRow(*target, backupId, source->Field("TableName").AsString(),
               source->Field("DatabasePath").AsString());
  }
}

void addCurrentLinksIn(dao::Database& db, std::int32_t setId) {
  auto rows = db.OpenRecordset(linkRowsOf(setId));
  // A table counts as recorded by its back-end name, which is what a row stores; a table
  // linked under another local name, or linked twice, therefore still gets only one row.
  // Names compare ignoring case, as the catalog compares them: "orders" and "Orders" would
  // become two definitions of one name, and the set could never be applied.
  std::set<std::string> recorded;
  for (; !rows->AtEOF(); rows->MoveNext())
    recorded.insert(paths::upperCase(rows->Field("TableName").AsString()));
  for (const dao::TableDef& def : db.TableDefs()) {
    const std::string connect = def.Connect();
    if (connect.empty())
      continue;
    const std::string source = def.SourceTableName();
    if (!recorded.insert(paths::upperCase(source)).second)
      continue;
    addLinkRow(*rows, setId, source, connect);
  }
  rows->Close();
}

}  // namespace detail

using detail::openLinkSetDatabase;
using detail::Transaction;
using detail::trapped;

bool CreateLinkSet(const std::string& name, const std::string& description) {
  return trapped("CreateLinkSet", false, [&] {
    auto db = openLinkSetDatabase();
    detail::createLinkSetIn(*db, name, description);
    return true;
  });
}

bool DeleteLinkSet(const std::string& name) {
  return trapped("DeleteLinkSet", false, [&] {
    auto db = openLinkSetDatabase();
    // The relation's delete cascade removes the set's link rows.
    db->Execute("DELETE * FROM tblLinkedSets WHERE Name=" + sqlText(name));
    return true;
  });
}

bool MakeActiveSet(const std::string& name, bool& clearAll) {
  return trapped("MakeActiveSet", false, [&] {
    auto db = openLinkSetDatabase();
    // Every row's flag is rewritten; doing it in one transaction means a failure half-way never
    // leaves two sets active or the component state naming a set the table does not mark.
    Transaction transaction(*db);
    auto sets = db->OpenRecordset("SELECT * From tblLinkedSets");
    bool found = false;
    std::string description;
    for (; !sets->AtEOF(); sets->MoveNext()) {
      // The walk compares names exactly: "office" does not activate "Office".
      const bool activate = !clearAll && sets->Field("Name").AsString() == name;
      if (activate) {
        found = true;
        description = sets->Field("Description").AsString();
      }
      sets->Edit();
      sets->SetField("ActiveSet", dao::Value::Boolean(activate));
      sets->Update();
    }
    sets->Close();
    transaction.commit();
    if (found) {
      state().activeSetName = name;
      state().activeSetDescription = description;
    }
    return true;
  });
}

bool AddCurrentLinksToLinkSet(const std::string& name) {
  return trapped("AddCurrentLinksToLinkSet", false, [&] {
    auto db = openLinkSetDatabase();
    const std::int32_t setId = detail::setIdOf(*db, name);
    Transaction transaction(*db);
    detail::addCurrentLinksIn(*db, setId);
    transaction.commit();
    return true;
  });
}

bool ClearLinkSet(const std::string& name) {
  return trapped("ClearLinkSet", false, [&] {
    auto db = openLinkSetDatabase();
    const std::int32_t setId = detail::setIdOf(*db, name);
    db->Execute("DELETE * FROM tblLinkedTables WHERE LinkSetID = " + std::to_string(setId));
    return true;
  });
}

bool RemoveLink(const std::string& setName, const std::string& tableName) {
  return trapped("RemoveLink", false, [&] {
    auto db = openLinkSetDatabase();
    Transaction transaction(*db);
    // The back end of the row that goes, to tell apart two definitions that take the same
    // source table from different back ends.
    std::string removedConnect;
    {
      auto rows = db->OpenRecordset(
          linksStatement(setName) + " AND TableName=" + sqlText(tableName), dao::dbOpenSnapshot);
      if (!rows->AtEOF())
        removedConnect = rows->Field("DatabasePath").AsString();
    }
    db->Execute(
        "DELETE tblLinkedTables.* "
        "FROM tblLinkedSets INNER JOIN tblLinkedTables ON tblLinkedSets.ID = "
        "tblLinkedTables.LinkSetID "
        "WHERE (((Name)=" +
        sqlText(setName) + ") AND ((TableName)=" + sqlText(tableName) + "))");
    if (setName == state().activeSetName) {
      if (const auto linkedName = detail::definitionOfLink(*db, tableName, removedConnect))
        db->TableDefs().Delete(*linkedName);
    }
    transaction.commit();
    return true;
  });
}

bool GetLinkSetLinks(const std::string& setName, int& count, LinkArray& links) {
  links = {std::vector<std::string>(1), std::vector<std::string>(1)};
  if (count < 0)
    count = 0;
  try {
    auto db = openLinkSetDatabase();
    auto rows = db->OpenRecordset(linksStatement(setName) + " ORDER BY TableName");
    for (; !rows->AtEOF(); rows->MoveNext()) {
      ++count;
      const auto columns = static_cast<std::size_t>(count);
      links[0].resize(columns);
      links[1].resize(columns);
      links[0][columns - 1] = rows->Field("TableName").AsString();
      links[1][columns - 1] = backEndPathOf(rows->Field("DatabasePath").AsString());
    }
    return true;
  } catch (const std::exception&) {
    // The Set Manager shows an empty list for a set it cannot read; nothing to report here.
    return false;
  }
}

void DuplicateLinkSet(const std::string& name, const std::string& description) {
  trapped("DuplicateLinkSet", [&] {
    auto db = openLinkSetDatabase();
    Transaction transaction(*db);
    detail::duplicateLinkSetIn(*db, name, description);
    transaction.commit();
  });
}

}  // namespace orvanta
