#include "paths/CandidateList.h"

#include "engine/Engine.h"
#include "uikit/controls.h"
#include "uikit/desktop.h"

namespace orvanta {
namespace {

std::string neededText(int found, int needed) {
  return std::to_string(found) + " of " + std::to_string(needed);
}

}  // namespace

void SetUpCandidateList(uikit::ListView& list, int pathShare, int scoreShare, int neededShare) {
  const int width = list.geometry.width;
  list.ColumnHeaders = {{"Database Path", width * pathShare / 100},
                        {"Score", width * scoreShare / 100},
                        {"Needed Tables", width * neededShare / 100}};
  list.SingleBorder = true;
  list.setSortKey(1);
  list.setSortOrder(uikit::ListView::SortOrder::Descending);
  list.setSorted(true);
}

int AddCandidateRow(uikit::ListView& list, const std::string& path, const std::string& score,
                    int found, int needed) {
  // A sorted list places each addition itself (and says where); sorting it again would change
  // nothing.
  if (!list.sorted())
    list.setSorted(true);
  return list.AddItem(path, {score, neededText(found, needed)});
}

std::string BrowseForCandidate(uikit::CommonDialog& dialog, const std::string& startAt) {
  dialog.FileName = "";
  dialog.DialogTitle = "Select Database";
  dialog.InitDir = startAt;
  dialog.Filter = kDatabaseFilter;
  dialog.FilterIndex = 1;
  dialog.ShowOpen();
  return dialog.FileName;
}

void ReportUnscorableCandidate(const std::string& file) {
  uikit::MsgBox("Unable to add " + file + " to the list", uikit::Buttons::OK,
                uikit::Icon::Information, "Error Adding Database");
}

bool ConfirmCandidate(int found, int needed) {
  return found == needed ||
         uikit::MsgBox("The database you selected contains " + neededText(found, needed) +
                           " needed tables." + uikit::vbCrLf + uikit::vbCrLf +
                           "Do you still want to add?",
                       uikit::Buttons::YesNo, uikit::Icon::Question,
                       "Confirm Selection") == uikit::Answer::Yes;
}

}  // namespace orvanta
