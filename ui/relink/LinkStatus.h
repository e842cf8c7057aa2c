// What the Relink Manager shows about the active set's links: each link tested on its own, the
// status tree built from the results, and the problem text of the situation they describe.
#pragma once

#include <string>
#include <vector>

namespace uikit {
class TreeView;
}

namespace orvanta {

struct TestedLink {
  std::string backEnd;  // the bare back-end path
  std::string table;
  // "Pass" the table opened; "NotApp" the back-end file does not exist, so the table was not
  // tried; "Fail" any other failure (the file will not open, or lacks the table).
  std::string status;
};

// Tests every link of the active set, in the order the set lists them. Back ends are opened
// read-only, each once. Throws dao::Error when the set itself cannot be read.
std::vector<TestedLink> testActiveSetLinks();

// Fills tree: one node per back end (key and text its path) with a child per table (text the
// table's name, image its status). A back end's own image agrees with the legend: "Uncertain"
// when the front end has moved, else "ChildFail" when its file is missing, "Fail" when the file
// opens but some table does not, "Pass" when every table opens.
void fillStatusTree(uikit::TreeView& tree, const std::vector<TestedLink>& links, bool moved);

// The text of the situation: no links, every link working, a moved front end, a missing back
// end (the first failed link's status is "NotApp") or a table that would not open.
std::string problemText(const std::vector<TestedLink>& links, bool moved);

// The first link that does not work, nullptr when all do.
const TestedLink* firstFailure(const std::vector<TestedLink>& links);

}  // namespace orvanta
