// The list views of scored candidate back ends (the Fix Set page's store, the Relink Manager's
// list): their columns, their rows, and what a window says about a file the user offers.
#pragma once

#include <string>

namespace uikit {
class CommonDialog;
class ListView;
}  // namespace uikit

namespace orvanta {

// Sets up a list view of scored candidates: the columns "Database Path", "Score" and "Needed
// Tables", each given its share of the view's width in hundredths, a single border, and sorting
// by score, highest first.
void SetUpCandidateList(uikit::ListView& list, int pathShare, int scoreShare, int neededShare);

// Adds the row (path, score, "<found> of <needed>") to the list, sorted, and returns the row's
// index (from 1) in the sorted list.
int AddCandidateRow(uikit::ListView& list, const std::string& path, const std::string& score,
                    int found, int needed);

// A window's Browse: the open-file dialog "Select Database" for database files, starting at
// startAt, with no file proposed. The chosen file, or "" when the user cancelled.
std::string BrowseForCandidate(uikit::CommonDialog& dialog, const std::string& startAt);

// "Unable to add <file> to the list": a file the user offered could not be scored.
void ReportUnscorableCandidate(const std::string& file);

// Whether a file the user offered is to be added when it holds found of the needed tables: at
// once when it holds them all, otherwise when the user answers Yes to "Confirm Selection".
bool ConfirmCandidate(int found, int needed);

}  // namespace orvanta
