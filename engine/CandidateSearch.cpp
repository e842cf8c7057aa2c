#include "engine/CandidateSearch.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "engine/Engine.h"
#include "paths/OpenCandidate.h"
#include "paths/modFunctions.h"
#include "ui/wizard/frmFixSet.h"

namespace orvanta::detail {

std::string upperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && upperAscii(a) == upperAscii(b);
}

char separatorOf(std::string_view path) {
  return path.find('\\') != std::string_view::npos ? '\\' : '/';
}

std::vector<SetLink> readLinks(dao::Database& db, const std::string& setName) {
  std::vector<SetLink> links;
  auto rows = db.OpenRecordset(linksStatement(setName), dao::dbOpenSnapshot);
  for (; !rows->AtEOF(); rows->MoveNext()) {
    links.push_back({rows->Field("TableName").AsString(), rows->Field("DatabasePath").AsString()});
  }
  return links;
}

namespace {

// A back end named by a set is the user's own data, and another copy of the application may be
// committing to it at this very moment: a busy file is asked again for a moment before the link
// counts as broken (a found candidate, by contrast, is never waited for). Other errors are
// verdicts and come back at once.
template <typename Work>
void retryWhileBusy(Work work) {
  using namespace std::chrono_literals;
  const auto giveUp = std::chrono::steady_clock::now() + 250ms;
  for (;;) {
    try {
      work();
      return;
    } catch (const dao::Error& e) {
      if (e.Number() != dao::kErrLocked || std::chrono::steady_clock::now() >= giveUp)
        throw;
    }
    std::this_thread::sleep_for(10ms);
  }
}

}  // namespace

bool BackEndProbe::use(const std::string& path, BackEnd& backEnd) {
  if (backEnd.db) {
    open_.remove(path);
    open_.push_front(path);
    return true;
  }
  if (open_.size() >= kMaxOpen) {
    backEnds_[open_.back()].db.reset();
    open_.pop_back();
  }
  try {
    retryWhileBusy([&] { backEnd.db = dao::OpenDatabase(path, 0, true); });
  } catch (const dao::Error&) {
    // Missing, locked, not a database: the link is broken, which is the answer, not a fault.
    backEnd.opens = false;
    return false;
  }
  open_.push_front(path);
  return true;
}

bool BackEndProbe::readable(const std::string& backEndPath, const std::string& table) {
  BackEnd& backEnd = backEnds_[backEndPath];
  if (!backEnd.opens)
    return false;
  if (const auto known = backEnd.tables.find(table); known != backEnd.tables.end())
    return known->second;
  bool& answer = backEnd.tables[table];
  answer = false;
  if (!use(backEndPath, backEnd))
    return false;
  try {
    retryWhileBusy([&] { backEnd.db->CheckReadable(table); });
    answer = true;
  } catch (const dao::Error&) {
    // Missing table, or a name the statement cannot hold: broken all the same.
  }
  return answer;
}

namespace {
thread_local SharedProbe* tSharedProbe = nullptr;
}  // namespace

SharedProbe::SharedProbe() : previous_(tSharedProbe) {
  tSharedProbe = this;
}

SharedProbe::~SharedProbe() {
  tSharedProbe = previous_;
}

BackEndProbe& SharedProbe::orOwn(BackEndProbe& own) {
  return tSharedProbe ? tSharedProbe->probe_ : own;
}

bool CandidateTables::holdsAll(const std::string& path, const std::vector<std::string>& tables) {
  auto [it, isNew] = files_.try_emplace(path);
  if (isNew) {
    try {
      if (auto db = openCandidate(path)) {
        std::set<std::string> local;
        for (const dao::TableDef& def : db->TableDefs()) {
          if (def.Connect().empty())
            local.insert(def.Name());
        }
        it->second = std::move(local);
      }
    } catch (const dao::Error&) {
      // A catalog that cannot be read makes no candidate; the file stays recorded as holding
      // nothing.
    }
  }
  if (!it->second)
    return false;
  return std::all_of(tables.begin(), tables.end(),
                     [&](const std::string& table) { return it->second->count(table) > 0; });
}

bool storeHolds(const uikit::ListView& store, const std::string& path) {
  return std::any_of(store.items().begin(), store.items().end(),
                     [&](const uikit::ListView::ListItem& item) { return item.text == path; });
}

void addCandidate(frmFixSet& page, const std::string& path, const std::string& score, int found,
                  int needed) {
  uikit::ListView& store = page.lsvDatabases;
  store.AddItem(path, {score, std::to_string(found) + " of " + std::to_string(needed)});
  // A sorted store re-sorts itself on every addition; sorting it once more would change nothing.
  if (!store.sorted())
    store.setSorted(true);
}

RedrawCandidatesOnExit::~RedrawCandidatesOnExit() {
  LoadListbox();
}

}  // namespace orvanta::detail
