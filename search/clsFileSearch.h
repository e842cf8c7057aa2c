// clsFileSearch: a depth-first search of one folder tree for the files whose names match a
// wildcard pattern, raising an event per file found. The Database File Search dialog uses it to
// look for database files on the drives the user checks, and to list those drives.
//
// Order: the matching files of a folder in the order the file system lists them, then, folder
// by folder in that order, the results of each subfolder. A search never enters a folder whose
// name begins with ".", a symbolic link to a folder, or another mount point (each file system
// is a drive of its own); it reports regular files only (a link to one included), never a
// folder, FIFO, socket or device that happens to match.
//
// Responsiveness: the walk yields to the desktop (doEvents) at most every
// SearchShared::yieldEvery, and rereads Searching and the dialog's stop flag after each yield.
// A search ends early when the stop flag is raised (checked after every listing entry; the
// status panel is then cleared), when a FoundFile listener sets Cancel, or when FindAll is
// called again while it runs. EndFindFiles is raised once in every case, and FindAll returns
// true with what was found so far.
//
// Failures: a folder that cannot be read (no permission, vanished, path too long) is passed
// over with nothing under it. An exception from a listener ends the search (Searching goes back
// to false) and leaves through FindAll.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace orvanta {

class clsFileSearch {
 public:
  // The folder to search, ending with "/" (one is added when it is missing).
  std::string Path;
  // The pattern of the files to find: "*" any run, "?" one character, letters in either case.
  std::string FileSpec;

  // True while a search runs.
  bool Searching() const { return searching_; }

  // Searches Path for FileSpec. On true, FileListArray holds "" at element 0 and the found
  // files' full paths after it; on false (Path or FileSpec empty, or called while a search runs,
  // which ends that search) FileListArray is left as it was.
  bool FindAll(std::vector<std::string>& FileListArray);

  // The drive list: each drive root followed by a NUL, and one more NUL at the end; "" when
  // there is no drive.
  std::string GetDriveStrings() const;

  std::function<void()> BeginFindFiles;
  // Raised for every file found; a listener that sets Cancel to true ends the search.
  std::function<void(std::string& FileName, bool& Cancel)> FoundFile;
  std::function<void(std::int32_t& FileCount)> EndFindFiles;

 private:
  struct Walk;
  void searchFolder(const std::string& folder, Walk& walk, std::vector<std::string>& found);

  bool searching_ = false;
  std::int32_t lastCount_ = 0;
};

}  // namespace orvanta
