// Helpers shared by link validation, the folder searches and the start-up analysis: reading a
// set's links, probing back ends once per call, and filling the Fix Set page's candidate store.
// Internal to the engine.
#pragma once

#include <list>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "dao/dao.h"

namespace uikit {
class ListView;
}

namespace orvanta {
class frmFixSet;
}

namespace orvanta::detail {

// ASCII upper case: paths are upper-cased only to compare them, and a locale-dependent
// conversion would rewrite bytes inside UTF-8 names.
std::string upperAscii(std::string_view text);
bool equalsIgnoringCase(std::string_view a, std::string_view b);
// A path's separator: the backslash when it holds one, otherwise the slash.
char separatorOf(std::string_view path);

struct SetLink {
  std::string table;         // TableName
  std::string databasePath;  // the stored connect string
};
// The links of every set named setName, in the order the links statement returns them.
std::vector<SetLink> readLinks(dao::Database& db, const std::string& setName);

// Answers "does this back end open, and can its table be read?" for one procedure call, asking
// the file about each table once however many links and sets name it. Back ends are opened
// read-only: the component never writes to them, and a back end on a read-only share is as
// usable to the application as any other.
//
// Every open back end holds file descriptors, and a front end may link hundreds of them; so at
// most kMaxOpen stay open, the least recently used closing first. Answers outlive the closing.
class BackEndProbe {
 public:
  static constexpr std::size_t kMaxOpen = 8;

  bool readable(const std::string& backEndPath, const std::string& table);

 private:
  struct BackEnd {
    bool opens = true;                  // false once the file would not open
    std::unique_ptr<dao::Database> db;  // null while closed
    std::map<std::string, bool> tables;
  };
  // Opens backEnd (path) unless it is open, closing the least recently used one when kMaxOpen
  // are open, and makes it the most recently used. False when the file will not open.
  bool use(const std::string& path, BackEnd& backEnd);

  std::map<std::string, BackEnd> backEnds_;
  std::list<std::string> open_;  // the open back ends, most recently used first
};

// One start-up check asks each back end about each table once, whichever of its measurements
// asks (the front end's links and every link set's name the same tables when all is well).
// While an object of this class lives, the thread's link measurements share its probe; each
// answers for the moment the check began, which is what the check decides on.
class SharedProbe {
 public:
  SharedProbe();
  ~SharedProbe();
  SharedProbe(const SharedProbe&) = delete;
  SharedProbe& operator=(const SharedProbe&) = delete;

  // The shared probe while one lives on this thread, otherwise own.
  static BackEndProbe& orOwn(BackEndProbe& own);

 private:
  BackEndProbe probe_;
  SharedProbe* previous_;
};

// The local tables (table definitions without a connect string) of candidate files, read once
// per call. A file that does not open read-only holds nothing.
class CandidateTables {
 public:
  // True when the file opens and holds every one of tables as a local table (exact names).
  bool holdsAll(const std::string& path, const std::vector<std::string>& tables);

 private:
  std::map<std::string, std::optional<std::set<std::string>>> files_;
};

// True when the store has an item whose text is exactly path.
bool storeHolds(const uikit::ListView& store, const std::string& path);
// Adds a scored candidate (text, score, "found of needed") and turns sorting on, which re-sorts.
void addCandidate(frmFixSet& page, const std::string& path, const std::string& score, int found,
                  int needed);

// Redraws the Fix Set page's visible candidate list when it goes out of scope: a procedure that
// changes the candidate store leaves the list showing the store on every way out, failures
// included.
class RedrawCandidatesOnExit {
 public:
  RedrawCandidatesOnExit() = default;
  ~RedrawCandidatesOnExit();
  RedrawCandidatesOnExit(const RedrawCandidatesOnExit&) = delete;
  RedrawCandidatesOnExit& operator=(const RedrawCandidatesOnExit&) = delete;
};

// Remembers which (folder, pattern) searches a call has already made, so repeating one, which
// could add nothing new to the store, is skipped.
class SearchLog {
 public:
  // True the first time a pair is seen.
  bool firstTime(const std::string& folder, const std::string& pattern) {
    return seen_.emplace(folder, pattern).second;
  }

 private:
  std::set<std::pair<std::string, std::string>> seen_;
};

}  // namespace orvanta::detail
