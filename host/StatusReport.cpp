#include "host/StatusReport.h"

#include <algorithm>
#include <map>
#include <optional>
#include <sstream>

#include "dao/connect.h"
#include "dao/dao.h"
#include "host/Json.h"
#include "uikit/printable.h"

namespace vantrel {

namespace {

// A column another tool may have left out reads as Null rather than failing the whole report:
// the link-set tables are a documented format that other programs write too.
dao::Value fieldOrNull(const dao::Recordset& rs, const std::string& name) {
  try {
    return rs.Field(name);
  } catch (const dao::Error& e) {
    if (e.Number() == dao::kErrItemNotFound)
      return {};
    throw;
  }
}

std::vector<StatusSet> readSets(dao::Database& db, bool haveLinkTable) {
  std::vector<StatusSet> sets;
  {
    auto rs = db.OpenRecordset("SELECT * FROM tblLinkedSets ORDER BY ID", dao::dbOpenSnapshot);
    while (!rs->AtEOF()) {
      StatusSet set;
      // A value that does not convert costs that field only; the first such field is the
      // row's problem.
      const auto read = [&](const char* field, auto convert) -> decltype(convert(dao::Value())) {
        try {
          return convert(fieldOrNull(*rs, field));
        } catch (const dao::Error& e) {
          if (e.Number() != dao::kErrTypeMismatch && e.Number() != dao::kErrOverflow)
            throw;
          if (set.problem.empty()) {
            set.problem = std::string(field) + ": " + e.Description() + " (error " +
                          std::to_string(e.Number()) + ")";
          }
          return {};
        }
      };
      const auto text = [](const dao::Value& v) { return v.AsString(); };
      const auto flag = [](const dao::Value& v) { return std::optional<bool>(v.AsBool()); };
      set.id = read("ID", [](const dao::Value& v) { return v.AsInt64(); });
      set.name = read("Name", text);
      set.description = read("Description", text);
      set.frontEndPath = read("FrontEndPath", text);
      set.active = read("ActiveSet", flag);
      set.valid = read("ValidSet", flag);
      sets.push_back(std::move(set));
      rs->MoveNext();
    }
    rs->Close();
  }
  if (!haveLinkTable || sets.empty())
    return sets;

  std::map<long long, StatusSet*> byId;
  for (auto& set : sets)
    byId[set.id] = &set;
  auto rs = db.OpenRecordset(
      "SELECT LinkSetID, TableName, DatabasePath FROM tblLinkedTables ORDER BY LinkSetID, "
      "TableName, ID",
      dao::dbOpenSnapshot);
  while (!rs->AtEOF()) {
    auto owner = byId.find(rs->Field("LinkSetID").AsInt64());
    if (owner != byId.end()) {
      owner->second->links.push_back({rs->Field("TableName").AsString(),
                                      dao::ShownConnect(rs->Field("DatabasePath").AsString())});
    }
    rs->MoveNext();
  }
  rs->Close();
  return sets;
}

// Opens the linked table through the front end's own connection, as the application would,
// without reading its rows: a back end that is missing, locked, damaged or lacks the table
// fails here.
void probeLinkedTable(dao::Database& db, StatusTable& table) {
  try {
    db.CheckReadable(table.name);
    table.opens = true;
  } catch (const dao::Error& e) {
    table.opens = false;
    table.error = e.Description() + " (error " + std::to_string(e.Number()) + ")";
  }
}

std::string padRight(const std::string& text, size_t width) {
  return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

std::string flagsText(const StatusSet& set) {
  std::string text = !set.active ? "active unknown" : *set.active ? "active" : "inactive";
  text += !set.valid ? ", valid unknown" : *set.valid ? ", valid" : ", not valid";
  return text;
}

}  // namespace

Status readStatus(const std::string& frontEnd) {
  Status status;
  status.frontEnd = frontEnd;
  std::unique_ptr<dao::Database> db;
  try {
    db = dao::OpenDatabase(frontEnd, 0, true);
  } catch (const dao::Error& e) {
    if (e.Number() != dao::kErrUnfinishedChange)
      throw;
    // Completing the change would write; a report only reads what the file holds now.
    status.unfinishedChange = true;
    db = dao::OpenDatabaseAsItStands(frontEnd);
  }
  dao::TableDefs& defs = db->TableDefs();
  status.hasLinkSetTables = defs.Contains("tblLinkedSets");
  if (status.hasLinkSetTables)
    status.sets = readSets(*db, defs.Contains("tblLinkedTables"));
  for (const dao::TableDef& def : defs) {
    if (def.Connect().empty())
      continue;
    StatusTable table;
    table.name = def.Name();
    table.sourceTable = def.SourceTableName();
    table.connect = dao::ShownConnect(def.Connect());
    status.linkedTables.push_back(std::move(table));
  }
  for (auto& table : status.linkedTables)
    probeLinkedTable(*db, table);
  db->Close();
  return status;
}

std::string formatStatusText(const Status& status) {
  // Every stored text is printed through printable(): a name or path holding a line break, a
  // vertical tab or a terminal escape must not forge a line of the report or drive the terminal.
  using uikit::printable;
  std::ostringstream out;
  out << "Front end: " << printable(status.frontEnd) << "\n";
  if (status.unfinishedChange)
    out << "The front end has an unfinished change that the next check will complete.\n";
  out << "\n";

  if (!status.hasLinkSetTables) {
    out << "Link sets: none (the front end has no link-set tables)\n";
  } else if (status.sets.empty()) {
    out << "Link sets: none\n";
  } else {
    out << "Link sets: " << status.sets.size() << "\n";
    for (const auto& set : status.sets) {
      out << "  " << printable(set.name) << " [" << flagsText(set) << "]\n";
      out << "    Description:        " << printable(set.description) << "\n";
      out << "    Recorded front end: " << printable(set.frontEndPath) << "\n";
      if (!set.problem.empty())
        out << "    Cannot be read:     " << printable(set.problem) << "\n";
      if (set.links.empty()) {
        out << "    Links: none\n";
        continue;
      }
      out << "    Links: " << set.links.size() << "\n";
      size_t width = 0;
      for (const auto& link : set.links)
        width = std::max(width, printable(link.table).size());
      for (const auto& link : set.links) {
        out << "      " << padRight(printable(link.table), width) << "  " << printable(link.connect)
            << "\n";
      }
    }
  }

  out << "\n";
  if (status.linkedTables.empty()) {
    out << "Linked tables: none\n";
    return out.str();
  }
  out << "Linked tables: " << status.linkedTables.size() << "\n";
  std::vector<std::string> names;
  std::vector<std::string> connects;
  size_t nameWidth = 0;
  size_t connectWidth = 0;
  for (const auto& table : status.linkedTables) {
    std::string name = printable(table.name);
    if (table.sourceTable != table.name)
      name += " (source " + printable(table.sourceTable) + ")";
    nameWidth = std::max(nameWidth, name.size());
    names.push_back(std::move(name));
    connects.push_back(printable(table.connect));
    connectWidth = std::max(connectWidth, connects.back().size());
  }
  for (size_t i = 0; i < status.linkedTables.size(); ++i) {
    const auto& table = status.linkedTables[i];
    out << "  " << padRight(names[i], nameWidth) << "  " << padRight(connects[i], connectWidth)
        << "  " << (table.opens ? "opens" : "does not open: " + printable(table.error)) << "\n";
  }
  return out.str();
}

std::string formatStatusJson(const Status& status) {
  JsonWriter json;
  json.beginObject();
  json.field("frontEnd", status.frontEnd);
  json.field("unfinishedChange", status.unfinishedChange);
  json.field("hasLinkSetTables", status.hasLinkSetTables);

  json.key("linkSets");
  json.beginArray();
  for (const auto& set : status.sets) {
    json.beginObject();
    json.field("id", set.id);
    json.field("name", set.name);
    json.field("description", set.description);
    json.field("frontEndPath", set.frontEndPath);
    json.field("active", set.active);
    json.field("valid", set.valid);
    json.field("error", set.problem.empty() ? std::nullopt : std::optional(set.problem));
    json.key("links");
    json.beginArray();
    for (const auto& link : set.links) {
      json.beginObject();
      json.field("table", link.table);
      json.field("connect", link.connect);
      json.endObject();
    }
    json.endArray();
    json.endObject();
  }
  json.endArray();

  json.key("linkedTables");
  json.beginArray();
  for (const auto& table : status.linkedTables) {
    json.beginObject();
    json.field("name", table.name);
    json.field("sourceTable", table.sourceTable);
    json.field("connect", table.connect);
    json.field("opens", table.opens);
    json.field("error", table.opens ? std::nullopt : std::optional(table.error));
    json.endObject();
  }
  json.endArray();
  json.endObject();
  return json.str();
}

}  // namespace vantrel
