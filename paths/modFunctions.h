// String and scoring procedures: splitting paths, expressing a back end's folder relative to the
// front end's, and scoring a candidate back end against a missing one.
//
// Paths are text only; nothing here touches the file system except CalcPriority, which opens
// the candidate to count its tables. A path's separator is the backslash when it contains one,
// otherwise the slash, and results use the same separator as their input, so Windows-style
// (C:\App\Data\Be.mdb) and POSIX (/srv/app/data/be.mdb) paths both work.
#pragma once

#include <string>
#include <vector>

namespace orvanta {

// One piece of path: 1 drive ("C:"; "" for POSIX paths), 2 folder with its trailing separator,
// 3 file name without extension, 4 extension without the dot. Any other mode yields "".
std::string ParsePath(const std::string& path, int mode);

// Where target lies seen from the folder base (given with its trailing separator):
// ".\Data\Be.mdb", "..\Data\Be.mdb", or "" when they are on different drives.
std::string GetRelativePath(const std::string& base, const std::string& target);

// Scores a candidate file against the missing back end: "00" to "99", " Locked" when the file
// cannot be opened, or "Error". found and needed receive the table counts when the candidate
// opened and the active set has links; otherwise they keep their values.
std::string CalcPriority(const std::string& candidatePath, const std::string& missingPath,
                         int& found, int& needed);

// Scores a candidate against each back end of missingPaths (when empty: every back end of the
// active set, distinct, in link order) and returns the best score, with the counts of the back
// end that gave it (of equal scores, the first). A set spread over several broken back ends
// thereby shows each candidate against the back end it can replace. " Locked" and "Error" as
// for CalcPriority.
std::string BestPriority(const std::string& candidatePath,
                         const std::vector<std::string>& missingPaths, int& found, int& needed);

// Redraws the Fix Set page's visible candidate list from its candidate store, keeping the
// selection of every candidate still listed.
void LoadListbox();

}  // namespace orvanta
