// Builders for the files tests work on: temporary folders, back ends with tables and rows,
// front ends with linked tables and link sets. Everything is a real SQLite file on disk, made
// through the database layer, so tests exercise exactly what the component will meet.
#pragma once

#include <string>
#include <vector>

#include "tests/support/TempDir.h"

namespace testsupport {

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
int addLinkSet(const std::string& frontEnd, const std::string& name, const std::string& description,
               bool active, const std::vector<Link>& links, const std::string& frontEndPath = "");

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

struct SetRecord {
  long id = 0;
  std::string name;
  std::string description;
  std::string frontEndPath;
  bool active = false;
  bool valid = false;
  bool operator==(const SetRecord&) const = default;
};
// Every set row of the front end's tblLinkedSets, in ID order.
std::vector<SetRecord> linkSets(const std::string& frontEnd);

// The bytes of a file, to prove that something left it unchanged.
std::string fileBytes(const std::string& path);

// Another process that opens a database (options and readOnly as for dao::OpenDatabase) and
// holds it open until this object goes away, so the lock layer sees a second user exactly as it
// would see a colleague's copy of the application. held() is false when that open failed;
// result() is the error number it got (0 when opened). With action "write" it also holds the
// write lock; with action "delete" the process instead
// deletes every row of Customers, and result() is that statement's error number.
class HeldByAnotherProcess {
 public:
  HeldByAnotherProcess(const std::string& path, int options, bool readOnly,
                       const char* action = "hold");
  ~HeldByAnotherProcess();
  HeldByAnotherProcess(const HeldByAnotherProcess&) = delete;
  HeldByAnotherProcess& operator=(const HeldByAnotherProcess&) = delete;
  bool held() const { return result_ == 0; }
  int result() const { return result_; }

 private:
  int pid_ = -1;
  int release_ = -1;  // closing it lets the child close the database and exit
  int result_ = -1;
};

}  // namespace testsupport
