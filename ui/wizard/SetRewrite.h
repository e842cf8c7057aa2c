// Rewriting the active link set from the Fix Set page's choices and relinking the front end to
// it, as one piece of work: either the set holds exactly the chosen links and the front end's
// linked tables are rebuilt from them, or, after any failure, the set keeps its previous rows and
// the front end its previous links. The Fix Set and Missing Links pages both end this way.
//
// Unlike the engine's procedures, these throw dao::Error: the page that calls them reports the
// failure in its own words and stays open, instead of announcing a success that did not happen.
#pragma once

#include <string>
#include <vector>

namespace orvanta {

class frmFixSet;

struct ChosenLink {
  std::string table;
  std::string backEndPath;  // bare path; stored behind ";DATABASE="
  bool operator==(const ChosenLink&) const = default;
};

// The checked rows of the Fix Set page's required-table list that have a back end, in list
// order, with the table and path the page keeps beside each row. Unchecked rows (tables left
// unresolved) are dropped.
std::vector<ChosenLink> chosenLinks(const frmFixSet& page);

// Relinks the front end to the active set as stored (LinkTablesToActiveSet, but a failure comes
// back to the caller with its number and description instead of a bare false). On failure the
// front end keeps its links.
void applyActiveSet();

// Replaces the link rows of the active set (the set named state().activeSetName) by links and
// rebuilds the front end's linked table definitions from them, in one transaction on the
// link-set database. Throws dao::Error on failure, after rolling everything back; error 3021
// (no current record) when no set of that name exists.
void rewriteActiveSetLinks(const std::vector<ChosenLink>& links);

// Creates the set (name, description, the current front-end path) holding links, makes it the
// only active set and rebuilds the front end's linked tables from it, in one transaction; the
// component state names it as the active set once that has committed. On failure nothing
// changes: no new set, the previous active set still active, the front end's links as they were.
void createActiveSetWithLinks(const std::string& name, const std::string& description,
                              const std::vector<ChosenLink>& links);

// Replaces the link rows of the active set by the front end's current links, in one transaction:
// after a failure the set keeps every row it had. Throws dao::Error.
void replaceActiveSetWithCurrentLinks();

// Creates the set (name, description, the current front-end path) holding the front end's
// current links and makes it the only active set, in one transaction; the component state names
// it as the active set once that has committed. On failure nothing changes. Throws dao::Error.
void createActiveSetFromCurrentLinks(const std::string& name, const std::string& description);

}  // namespace orvanta
