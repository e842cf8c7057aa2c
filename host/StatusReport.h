// The status report (`vantrel status`, orvanta_status_json): what a front end holds, read without
// changing a byte of it. The report lists the link sets stored in the front end (as the component
// last left them) and the front end's linked tables as they are now, with whether each one opens at
// this moment, so a person or a script can see at a glance what the start-up check will find.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vantrel {

struct StatusLink {
  std::string table;
  std::string connect;  // the stored connect string, ";DATABASE=<path>", passwords masked
};

struct StatusSet {
  long long id = 0;
  std::string name;
  std::string description;
  std::string frontEndPath;  // the front end's path recorded with the set
  // The flags as stored; nullopt when the stored value is no Boolean (see problem).
  std::optional<bool> active = false;
  std::optional<bool> valid = false;  // the outcome of the last validation
  // Why part of the row cannot be read (a field and the conversion error), "" when it can.
  std::string problem;
  std::vector<StatusLink> links;
};

struct StatusTable {
  std::string name;
  std::string sourceTable;
  std::string connect;  // passwords masked
  bool opens = false;
  std::string error;  // why it does not open ("" when it does)
};

struct Status {
  std::string frontEnd;
  // A writer stopped mid-change; the report read the file as it stands, and the next check,
  // which opens it for writing, completes the change.
  bool unfinishedChange = false;
  bool hasLinkSetTables = false;
  std::vector<StatusSet> sets;            // in stored order
  std::vector<StatusTable> linkedTables;  // in the front end's table order
};

// Reads the report of the front end at path (absolute, already known to be a database). The
// file is opened read-only and nothing is created in it. A set row holding a value that does not
// convert (other tools write these tables too) is reported with its problem and the rest of the
// report goes on. Throws dao::Error on any other failure to read.
Status readStatus(const std::string& frontEnd);

// The report for people: aligned plain text.
std::string formatStatusText(const Status& status);
// The report for scripts: one JSON object (see the README for its fields).
std::string formatStatusJson(const Status& status);

}  // namespace vantrel
