#include "ui/relink/LinkStatus.h"

#include <map>
#include <memory>

#include "dao/dao.h"
#include "engine/CandidateSearch.h"
#include "engine/ComponentState.h"
#include "engine/Engine.h"
#include "engine/LinkSetStore.h"
#include "uikit/controls.h"
#include "uikit/desktop.h"

namespace orvanta {
namespace {

using uikit::vbCrLf;

constexpr const char* kPass = "Pass";
constexpr const char* kFail = "Fail";
constexpr const char* kNotApp = "NotApp";

// The answer of one back-end file: open (db set), missing, or refusing for another reason.
struct BackEnd {
  std::unique_ptr<dao::Database> db;
  bool missing = false;
};

BackEnd openBackEnd(const std::string& path) {
  BackEnd backEnd;
  try {
    backEnd.db = dao::OpenDatabase(path, 0, true);
  } catch (const dao::Error& e) {
    backEnd.missing = e.Number() == dao::kErrFileNotFound;
  }
  return backEnd;
}

std::string action(const char* browse) {
  return std::string(vbCrLf) + vbCrLf + "Action:" + vbCrLf +
         "Select the linked database that you would like to relink to or " + browse +
         "/Search to find your linked database and click the 'Relink' button.";
}

}  // namespace

std::vector<TestedLink> testActiveSetLinks() {
  std::vector<TestedLink> tested;
  std::vector<detail::SetLink> links;
  {
    auto db = dao::OpenDatabase(linkSetDatabase(), 0, true);
    links = detail::readLinks(*db, state().activeSetName);
  }
  std::map<std::string, BackEnd> backEnds;
  for (const detail::SetLink& link : links) {
    const std::string path = backEndPathOf(link.databasePath);
    auto known = backEnds.find(path);
    if (known == backEnds.end())
      known = backEnds.emplace(path, openBackEnd(path)).first;
    const BackEnd& backEnd = known->second;
    std::string status = backEnd.missing ? kNotApp : kFail;
    if (backEnd.db) {
      try {
        backEnd.db->CheckReadable(link.table);
        status = kPass;
      } catch (const dao::Error&) {
      }
    }
    tested.push_back({path, link.table, status});
  }
  return tested;
}

void fillStatusTree(uikit::TreeView& tree, const std::vector<TestedLink>& links, bool moved) {
  tree.Clear();
  for (const TestedLink& link : links) {
    uikit::TreeView::Node* node = tree.find(link.backEnd);
    if (!node)
      node = &tree.AddNode("", link.backEnd, link.backEnd, moved ? "Uncertain" : kPass);
    if (!moved) {
      // A missing file outweighs a table that failed in a file that opens.
      if (link.status == kNotApp)
        node->imageKey = "ChildFail";
      else if (link.status == kFail && node->imageKey == kPass)
        node->imageKey = kFail;
    }
    if (!link.table.empty())
      tree.AddNode(link.backEnd, "", link.table, link.status);
  }
}

const TestedLink* firstFailure(const std::vector<TestedLink>& links) {
  for (const TestedLink& link : links) {
    if (link.status != kPass)
      return &link;
  }
  return nullptr;
}

std::string problemText(const std::vector<TestedLink>& links, bool moved) {
  if (links.empty()) {
    return std::string("There are now no linked tables in your link set.") + vbCrLf + vbCrLf +
           "Click 'Set Manager' to update the link set or 'Done' to return to your application";
  }
  const TestedLink* failed = firstFailure(links);
  if (!failed) {
    return std::string("All links have successfully be established!") + vbCrLf + vbCrLf +
           "Click 'Done' to return to your application";
  }
  if (moved) {
    return std::string("Problem:") + vbCrLf +
           "This database has been moved since it was last run." + action("browse");
  }
  if (failed->status == kNotApp) {
    return std::string("Problem:") + vbCrLf + "The linked database could not be found. " +
           "It could have been moved, deleted or renamed. " + action("Browse");
  }
  return std::string("Problem:") + vbCrLf + "links defined in the Active Link set are invalid. " +
         "The linked table could not be opened." + action("browse");
}

}  // namespace orvanta
