// Rewriting the front end's linked table definitions: applying the active set, pruning links
// the set does not define, pointing one link or a whole back end elsewhere.
//
// Each procedure rewrites the definitions inside one transaction. Appending a link makes the
// layer open its back end, so a back end that vanishes half-way through is an ordinary failure;
// rolling back then leaves the front end with every link it had, instead of with the links that
// happened to be recreated before the failure.
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "dao/connect.h"
#include "dao/dao.h"
#include "engine/ComponentState.h"
#include "engine/Engine.h"
#include "engine/LinkSetStore.h"
#include "engine/Procedure.h"
#include "paths/PathText.h"
#include "uikit/desktop.h"

namespace orvanta {
namespace detail {
namespace {

bool isMissingTable(const dao::Error& e) {
  return e.Number() == dao::kErrTableNotFound || e.Number() == dao::kErrObjectNotFound;
}

// Whether the back end answers for the table by that name; no row is read.
bool backEndLacks(dao::Database& backEnd, const std::string& tableName) {
  try {
    backEnd.CheckReadable(tableName);
  } catch (const dao::Error& e) {
    return isMissingTable(e);
  }
  return false;
}

}  // namespace

// Local name and back-end name are the same: a relinked table is always found under the name its
// back end gives it.
void appendLink(dao::Database& db, const std::string& tableName, const std::string& connect) {
  dao::TableDef def = db.CreateTableDef(tableName);
  def.SetSourceTableName(tableName);
  def.SetConnect(connect);
  db.TableDefs().Append(def);
}

namespace {

// Replaces every linked definition of db by one per row of linksSql (TableName, DatabasePath).
void rebuildLinks(dao::Database& db, const std::string& linksSql) {
  dao::TableDefs& defs = db.TableDefs();
  for (int i = defs.Count() - 1; i >= 0; --i) {
    const dao::TableDef def = defs.Item(i);
    if (!def.Connect().empty())
      defs.Delete(def.Name());
  }
  defs.Refresh();
  auto links = db.OpenRecordset(linksSql);
  for (; !links->AtEOF(); links->MoveNext())
    appendLink(db, links->Field("TableName").AsString(), links->Field("DatabasePath").AsString());
  links->Close();
  defs.Refresh();
}

}  // namespace

void linkTablesToSetIn(dao::Database& db, const std::string& setName) {
  rebuildLinks(db, linksStatement(setName));
}

void linkTablesToSetIdIn(dao::Database& db, std::int32_t setId) {
  rebuildLinks(db, linkRowsOf(setId));
}

void removeExtraLinksIn(dao::Database& db) {
  std::set<std::string> defined;
  {
    auto links = db.OpenRecordset(linksStatement(state().activeSetName));
    for (; !links->AtEOF(); links->MoveNext())
      defined.insert(links->Field("TableName").AsString());
  }
  dao::TableDefs& defs = db.TableDefs();
  for (int i = defs.Count() - 1; i >= 0; --i) {
    const dao::TableDef def = defs.Item(i);
    if (def.Connect().empty())
      continue;
    const std::string name = def.Name();
    if (defined.count(name) == 0)
      defs.Delete(name);
  }
  defs.Refresh();
}

}  // namespace detail

using detail::Transaction;

bool LinkTablesToActiveSet() {
  try {
    auto db = detail::openLinkSetDatabase();
    Transaction transaction(*db);
    detail::linkTablesToSetIn(*db, state().activeSetName);
    transaction.commit();
    return true;
  } catch (const std::exception&) {
    // Callers re-run the check or tell the user themselves; the front end is as it was.
    return false;
  }
}

bool RemoveExtraLinks() {
  try {
    auto db = detail::openLinkSetDatabase();
    Transaction transaction(*db);
    detail::removeExtraLinksIn(*db);
    transaction.commit();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

long UpdateLink(const std::string& setName, const std::string& tableName,
                const std::string& backEndPath) {
  try {
    auto db = detail::openLinkSetDatabase();
    // A missing, read-only or damaged back end, or one left with an unfinished change, ends the
    // procedure here, before anything has changed. The file is only read: opening it for
    // writing would complete such a change, rewriting a file the user merely pointed at.
    dao::CheckWritableFile(backEndPath);
    auto backEnd = dao::OpenDatabase(backEndPath, 0, true);
    // Pending events run now, while the front end is not locked for writing: an event that
    // starts work on it must not wait for (or fail against) a half-done change.
    uikit::desktop().doEvents();
    Transaction transaction(*db);
    if (setName == state().activeSetName) {
      // Only a linked definition is replaced; a local table of that name holds data.
      std::string oldConnect;
      for (const dao::TableDef& def : db->TableDefs()) {
        if (def.Name() == tableName) {
          oldConnect = def.Connect();
          break;
        }
      }
      if (!oldConnect.empty()) {
        db->TableDefs().Delete(tableName);
        // Refused (3011) when the new back end lacks the table: the rollback restores the old
        // definition and the row below is never reached.
        detail::appendLink(*db, tableName, dao::ConnectWithDatabase(oldConnect, backEndPath));
      }
    }
    auto links = db->OpenRecordset(linksStatement(setName));
    for (; !links->AtEOF(); links->MoveNext()) {
      if (links->Field("TableName").AsString() == tableName) {
        links->Edit();
        links->SetField("DatabasePath", dao::ConnectWithDatabase(
                                            links->Field("DatabasePath").AsString(), backEndPath));
        links->Update();
        break;
      }
    }
    links->Close();
    transaction.commit();
    return 0;
  } catch (const std::exception& e) {
    return detail::asDaoError(e).Number();
  }
}

long RelinkDatabase(const std::string& oldPath, const std::string& newPath) {
  static const std::string kCrLf = uikit::vbCrLf;
  try {
    const ComponentState& s = state();
    auto frontEnd = dao::OpenDatabase(s.currentFrontEndPath);
    auto backEnd = dao::OpenDatabase(newPath, 4, true);

    // A link goes to the old file when its back-end path names it, in any letter case; the
    // other parts of its connect string (a password) stay as they are when it is repointed.
    auto linksToOld = [&](const std::string& connect) {
      return !connect.empty() && paths::equalsIgnoringCase(backEndPathOf(connect), oldPath);
    };

    // Only the tables that move are looked for: a table of another back end is not expected in
    // the new file. Every table listed here is removed on OK, so the question promises nothing
    // that is not done.
    std::string message =
        "The following linked tables could not be found in " + newPath + kCrLf + kCrLf;
    std::vector<std::string> listed;  // the local names of the definitions that go
    for (const dao::TableDef& def : frontEnd->TableDefs()) {
      if (!linksToOld(def.Connect()))
        continue;
      const std::string source = def.SourceTableName();
      if (detail::backEndLacks(*backEnd, source)) {
        message += source + kCrLf;
        listed.push_back(def.Name());
      }
    }
    const bool tablesMissing = !listed.empty();

    if (tablesMissing) {
      message += kCrLf +
                 "Click 'OK' to create a backup, remove these linked tables and update the link "
                 "set or" +
                 kCrLf + "Click 'Cancel' to return to Link Manager";
      if (uikit::MsgBox(message, uikit::Buttons::OKCancel, uikit::Icon::Critical,
                        "Missing Tables") != uikit::Answer::OK) {
        return 1;
      }
    }

    // From here the set's rows and the front end's definitions change together or not at all.
    Transaction transaction(*frontEnd);
    if (tablesMissing)
      detail::duplicateLinkSetIn(*frontEnd, s.activeSetName, s.activeSetDescription);
    bool rowsRemoved = false;
    {
      // The active set's links to the old file. A row whose table the new file lacks goes, by
      // the same test that listed the tables, so the set and the question agree.
      auto links = frontEnd->OpenRecordset(linksStatement(s.activeSetName));
      for (; !links->AtEOF(); links->MoveNext()) {
        const std::string connect = links->Field("DatabasePath").AsString();
        if (!linksToOld(connect))
          continue;
        if (tablesMissing && detail::backEndLacks(*backEnd, links->Field("TableName").AsString())) {
          links->Delete();
          rowsRemoved = true;
          continue;
        }
        links->Edit();
        links->SetField("DatabasePath", dao::ConnectWithDatabase(connect, newPath));
        links->Update();
      }
    }
    dao::TableDefs& defs = frontEnd->TableDefs();
    for (const std::string& name : listed)
      defs.Delete(name);
    if (rowsRemoved)
      detail::removeExtraLinksIn(*frontEnd);
    // Checking the new links opens the new back end; let go of it first.
    backEnd->Close();

    defs.Refresh();
    for (int i = 0; i < defs.Count(); ++i) {
      dao::TableDef def = defs.Item(i);
      const std::string connect = def.Connect();
      if (!linksToOld(connect))
        continue;
      def.SetConnect(dao::ConnectWithDatabase(connect, newPath));
      def.RefreshLink();
      defs.Refresh();
    }
    transaction.commit();
    return 0;
  } catch (const std::exception& e) {
    return detail::asDaoError(e).Number();
  }
}

}  // namespace orvanta
