// Builders for the files tests work on: temporary folders, back ends with tables and rows,
// front ends with linked tables and link sets. Everything is a real SQLite file on disk, made
// through the database layer, so tests exercise exactly what the component will meet.
#pragma once

#include <string>
#include <vector>

namespace testsupport {

// A fresh folder under the system's temporary folder, removed with everything in it when the
// object goes away.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // path/relative (no file is created).
  std::string file(const std::string& relative) const;
  // Creates path/relative and its parents; returns the full path.
  std::string mkdir(const std::string& relative) const;

 private:
  std::string path_;
};

// Creates a database at path holding each table as (ID INTEGER PRIMARY KEY, Name TEXT) with rows
// rows. Parent folders are created.
void makeBackEnd(const std::string& path, const std::vector<std::string>& tables, int rows = 2);

// Creates a front end with one local table, "tblLocal".
void makeFrontEnd(const std::string& path);

// Adds a linked table definition localName -> backEnd's sourceTable (default: localName).
void linkTable(const std::string& frontEnd, const std::string& localName,
               const std::string& backEnd, const std::string& sourceTable = "");

struct Link {
  std::string table;
  std::string backEnd;  // bare path; stored as ";DATABASE=" + path
};

// Adds a link set to frontEnd, creating the link-set tables first when they are missing.
// frontEndPath is the path recorded with the set ("" leaves it empty, as before a first check).
// Returns the set's ID.
int addLinkSet(const std::string& frontEnd, const std::string& name,
               const std::string& description, bool active, const std::vector<Link>& links,
               const std::string& frontEndPath = "");

struct LinkedDef {
  std::string name;
  std::string connect;
  std::string sourceTable;
  bool operator==(const LinkedDef&) const = default;
};
// The front end's linked table definitions (Connect not empty), in collection order.
std::vector<LinkedDef> linkedDefs(const std::string& frontEnd);

struct LinkRow {
  std::string setName;
  std::string table;
  std::string databasePath;  // the stored connect string
  bool operator==(const LinkRow&) const = default;
};
// Every link row of the front end's link sets, ordered by set name, then table name.
std::vector<LinkRow> linkRows(const std::string& frontEnd);

// The bytes of a file, to prove that something left it unchanged.
std::string fileBytes(const std::string& path);

}  // namespace testsupport
