// The arithmetic of a candidate's score, apart from the files: CalcPriority adds the three kinds
// of points (each at most 10) and turns the sum into the score text. Kept separate so the rules
// can be checked without building databases.
#pragma once

#include <string>

namespace orvanta::paths {

// 10 when the candidate's file name (without extension) equals the missing back end's, 5 when
// it contains it, else 0; case is ignored. A missing path without a name earns nothing.
int namePoints(const std::string& candidatePath, const std::string& missingPath);

// 10 when the candidate lies where the missing back end lay, seen from the front end (the old
// position from the saved front-end path, the new one from the current path); otherwise 8 when
// it sits in the missing back end's folder, 5 when in the current front end's folder, else 0.
// Folders are compared upper-cased.
int folderPoints(const std::string& candidatePath, const std::string& missingPath,
                 const std::string& savedFrontEndPath, const std::string& currentFrontEndPath);

// found / needed * 10, rounded to the nearest integer with halves to the even neighbour
// (1 of 4 gives 2, 3 of 4 gives 8). 0 when nothing is needed.
int tablePoints(int found, int needed);

// The score text of a points total: points * 3.33 rounded (halves to even), at most 99, as two
// digits ("03", "67", "99").
std::string scoreText(int points);

}  // namespace orvanta::paths
