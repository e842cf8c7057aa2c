// The set windows' own reads and writes of the link-set tables: the stored sets in table order,
// the name a new set gets, renaming and copying a set. Names are unique without regard to case,
// because every statement that finds a set by name ignores case: two sets "main" and "Main" would
// answer to each other's name and mix their rows.
//
// The writes throw dao::Error; each is all or nothing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace dao {
class Database;
}

namespace orvanta {

// A set row. The ID, not the name, says which set a row means, since names that differ only in
// letter case answer to the same statements.
struct StoredSet {
  std::int32_t id = 0;
  std::string name;
  std::string description;
  // The flags read as false too when another tool stored a value that is no Boolean (the
  // start-up check reports such an ActiveSet).
  bool active = false;
  bool valid = false;  // the verdict the last validation stored
};

// Every set row of db, in the order the table returns them. Empty when the link-set tables do
// not exist yet (creating a set builds them).
std::vector<StoredSet> storedSets(dao::Database& db);
// The same of the link-set database.
std::vector<StoredSet> storedSets();

// "Set<k+1>", where k is the largest whole number written after "Set" (in any letter case) in a
// stored name; names such as "Settings" or "Set 2b" do not count.
std::string nextSetName(const std::vector<StoredSet>& sets);

// True when a set other than the one stored exactly as ownName answers to name.
bool nameTakenByAnother(const std::vector<StoredSet>& sets, const std::string& name,
                        const std::string& ownName);

// Gives the set stored as ownName a new name and description. Returns whether it is the active
// set. Error 3021 when no set is stored under ownName.
bool renameSet(const std::string& ownName, const std::string& name, const std::string& description);

// Creates the set newName (description newDescription) holding copies of the link rows of the set
// stored as source, in one transaction.
void duplicateSet(const std::string& source, const std::string& newName,
                  const std::string& newDescription);

// The number of links of the set named setName.
int linkCount(const std::string& setName);

}  // namespace orvanta
