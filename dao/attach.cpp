// Linked tables: a link's rows live in its back end, yet statements name it like a local table.
//
// When a statement fails with "no such table: X" and the catalog holds a link named X, the back
// end is attached read-only to the front end's connection and a TEMP VIEW named X reads its
// source table; the statement is then prepared again. Temp objects are searched before the
// main schema and live only as long as the connection, so the front end's file never changes.
//
// SQLite attaches at most a handful of files per connection (10 in Debian's build), so back
// ends are detached least recently used first. Before a statement runs, every back end it reads
// is checked to still be the file that was attached: a back end that moved away fails with 3024
// instead of serving rows from a file no longer there.
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <string>

#include "dao/connect.h"
#include "dao/internal.h"

namespace dao::detail {
namespace {

constexpr int kMaxResolveRounds = 64;

// Only a table can be a link's source: a view in an untrusted back end could compute without
// end (a recursive query), and links have always named tables.
bool SourceExists(sqlite3* db, std::string_view schema, std::string_view table) {
  return TableExists(db, table, schema);
}

[[noreturn]] void MissingSource(const std::string& path, std::string_view table) {
  Fail(kErrObjectNotFound,
       "The back end '" + path + "' has no table named '" + std::string(table) + "'.");
}

void DropView(sqlite3* db, std::string_view name) {
  ArmStatementClock();
  sqlite3_exec(db, ("DROP VIEW IF EXISTS temp." + Ident(name)).c_str(), nullptr, nullptr, nullptr);
}

// Detaches one back end; false when SQLite refuses (it was read in the open transaction).
bool Detach(Core& core, std::size_t index) {
  // A recordset still reading from the back end would keep it attached.
  core.BeforeChange();
  Attachment& a = core.attachments[index];
  ArmStatementClock();
  int rc = sqlite3_exec(core.db, ("DETACH " + Ident(a.alias)).c_str(), nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK)
    return false;
  for (const std::string& view : a.views) {
    DropView(core.db, view);
    core.linkViews.erase(view);
  }
  NoteFileReleased(a.id);
  CloseFileDescriptor(a.id, a.fd);
  core.attachments.erase(core.attachments.begin() + static_cast<std::ptrdiff_t>(index));
  return true;
}

Attachment& AttachBackEnd(Core& core, const std::string& path,
                          const std::set<std::string>& pinned) {
  ProbedFile file = ProbedFile::Probe(path, false, false);
  if (HeldExclusivelyElsewhere(file))
    Fail(kErrExclusivelyLocked, "The back end '" + path + "' is in exclusive use by another user.");
  for (Attachment& a : core.attachments) {
    if (a.id == file.id()) {
      a.lastUse = ++core.clock;
      return a;
    }
  }
  const std::size_t limit =
      static_cast<std::size_t>(std::max(1, sqlite3_limit(core.db, SQLITE_LIMIT_ATTACHED, -1)));
  while (core.attachments.size() >= limit) {
    // Least recently used first, never one the statement being prepared needs.
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < core.attachments.size(); ++i) {
      if (!pinned.count(core.attachments[i].alias))
        order.push_back(i);
    }
    std::sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) {
      return core.attachments[x].lastUse < core.attachments[y].lastUse;
    });
    bool freed = false;
    for (std::size_t i : order) {
      if (Detach(core, i)) {
        freed = true;
        break;
      }
    }
    if (!freed)
      Fail(kErrTooManyBackEnds,
           "The statement needs more back ends at once than the engine can reach.");
  }
  Attachment a;
  a.alias = std::string(kAliasPrefix) + std::to_string(++core.nextAlias);
  a.path = path;
  a.id = file.id();
  a.lastUse = ++core.clock;
  a.immutable = file.quietWal();
  {
    Statement attach(core.db, "ATTACH DATABASE ?1 AS " + Ident(a.alias));
    attach.Bind(1, FileUri(path, true, file.quietWal()));
    attach.Step();
  }
  a.fd = file.Release();
  core.attachments.push_back(a);
  NoteFileInUse(a.id);
  // Reading its schema proves the attached file is a database.
  try {
    Statement check(core.db, "SELECT count(*) FROM " + Ident(a.alias) + ".sqlite_schema");
    check.Step();
  } catch (const Error& e) {
    Detach(core, core.attachments.size() - 1);
    // A busy back end, or one a writer left half changed, is a database all the same.
    if (e.Number() == kErrLocked || e.Number() == kErrUnfinishedChange ||
        e.Number() == kErrStatementTooLong)
      Fail(e.Number(), "The back end '" + path + "': " + e.Description());
    Fail(kErrNotADatabase, "The back end '" + path + "' is not a database, or it is damaged.");
  }
  return core.attachments.back();
}

}  // namespace

namespace {

// A transaction that rebuilds hundreds of links to a handful of back ends checks each file once
// and keeps it open; a few files at most, so descriptors stay few whatever the set spans.
constexpr std::size_t kMaxCheckedBackEnds = 8;

void CloseChecked(CheckedBackEnd& b) {
  ForgetCachedStatements(b.db);
  sqlite3_close_v2(b.db);
  NoteFileReleased(b.id);
  CloseFileDescriptor(b.id, b.fd);
}

// The back end kept for path when it is still the file that was checked; a file replaced or
// gone since is let go, and the caller opens (and reports) what stands there now.
CheckedBackEnd* StillChecked(Core& core, const std::string& path) {
  auto it = std::find_if(core.checkedBackEnds.begin(), core.checkedBackEnds.end(),
                         [&](const CheckedBackEnd& b) { return b.path == path; });
  if (it == core.checkedBackEnds.end())
    return nullptr;
  struct stat st {};
  if (stat(path.c_str(), &st) == 0 && FileId{st.st_dev, st.st_ino} == it->id) {
    // The most recently used last: the first is the one to close when the list is full.
    std::rotate(it, it + 1, core.checkedBackEnds.end());
    return &core.checkedBackEnds.back();
  }
  CloseChecked(*it);
  core.checkedBackEnds.erase(it);
  return nullptr;
}

}  // namespace

void ValidateLink(Core& core, const std::string& connect, const std::string& sourceTable) {
  const std::string path = ConnectPath(connect);
  if (path.empty())
    Fail(kErrFileNotFound, "The link names no back-end file ('" + ShownConnect(connect) + "').");
  if (CheckedBackEnd* kept = core.inTransaction ? StillChecked(core, path) : nullptr) {
    if (HeldExclusivelyElsewhere(kept->fd, kept->id))
      Fail(kErrExclusivelyLocked,
           "The back end '" + path + "' is in exclusive use by another user.");
    if (!SourceExists(kept->db, "main", sourceTable))
      MissingSource(path, sourceTable);
    return;
  }
  RunFaultHook("open", path);
  ProbedFile file = ProbedFile::Probe(path, false, false);
  if (HeldExclusivelyElsewhere(file))
    Fail(kErrExclusivelyLocked, "The back end '" + path + "' is in exclusive use by another user.");
  // A connection of its own: the front end may be inside a transaction, and the check must not
  // leave anything attached to it.
  CheckedBackEnd checked{path, file.id(), -1, OpenConnection(path, OpenMode::kReadBackEnd, file)};
  NoteFileInUse(checked.id);
  checked.fd = file.Release();
  bool found = false;
  try {
    found = SourceExists(checked.db, "main", sourceTable);
  } catch (...) {
    CloseChecked(checked);
    throw;
  }
  if (core.inTransaction) {
    if (core.checkedBackEnds.size() >= kMaxCheckedBackEnds) {
      CloseChecked(core.checkedBackEnds.front());
      core.checkedBackEnds.erase(core.checkedBackEnds.begin());
    }
    core.checkedBackEnds.push_back(checked);
  } else {
    CloseChecked(checked);
  }
  if (!found)
    MissingSource(path, sourceTable);
}

void ForgetCheckedBackEnds(Core& core) {
  for (CheckedBackEnd& b : core.checkedBackEnds)
    CloseChecked(b);
  core.checkedBackEnds.clear();
}

void ForgetLink(Core& core, std::string_view name) {
  auto it = core.linkViews.find(name);
  if (it == core.linkViews.end())
    return;
  DropView(core.db, *it);
  for (Attachment& a : core.attachments) {
    std::erase_if(a.views, [&](const std::string& v) { return EqualsNoCase(v, name); });
  }
  core.linkViews.erase(it);
}

void ForgetAllLinks(Core& core) {
  for (const std::string& view : core.linkViews)
    DropView(core.db, view);
  core.linkViews.clear();
  for (Attachment& a : core.attachments)
    a.views.clear();
}

bool ResolveLink(Core& core, std::string_view name, const std::set<std::string>& pinned) {
  std::optional<CatalogRow> row = FindCatalogRow(core.db, name);
  if (!row || row->connect.empty())
    return false;
  const std::string path = ConnectPath(row->connect);
  if (path.empty())
    Fail(kErrFileNotFound, "The link '" + row->name + "' names no back-end file.");
  const std::string source = row->source.empty() ? row->name : row->source;
  Attachment& a = AttachBackEnd(core, path, pinned);
  if (!SourceExists(core.db, a.alias, source))
    MissingSource(path, source);
  DropView(core.db, row->name);
  Exec(core.db, "CREATE TEMP VIEW " + Ident(row->name) + " AS SELECT * FROM " + Ident(a.alias) +
                    "." + Ident(source));
  a.views.push_back(row->name);
  core.linkViews.insert(row->name);
  return true;
}

bool RecheckBackEnds(Core& core, const std::set<std::string>& schemas) {
  bool replaced = false;
  for (const std::string& schema : schemas) {
    auto it = std::find_if(core.attachments.begin(), core.attachments.end(),
                           [&](const Attachment& a) { return a.alias == schema; });
    if (it == core.attachments.end())
      continue;
    it->lastUse = ++core.clock;
    struct stat st {};
    if (stat(it->path.c_str(), &st) != 0) {
      const std::string path = it->path;
      Detach(core, static_cast<std::size_t>(it - core.attachments.begin()));
      Fail(kErrFileNotFound, "The back end '" + path + "' no longer exists.");
    }
    if (FileId{st.st_dev, st.st_ino} != it->id) {
      // Another file now stands at that path: read that one, from a fresh attachment.
      if (!Detach(core, static_cast<std::size_t>(it - core.attachments.begin())))
        Fail(kErrLocked, "The back end '" + it->path + "' was replaced during a transaction.");
      replaced = true;
      continue;
    }
    // A quiet WAL back end someone has since opened in WAL mode may change: read it anew,
    // unless a transaction already read it as it stood.
    if (it->immutable && WalFilesBeside(it->path) &&
        Detach(core, static_cast<std::size_t>(it - core.attachments.begin()))) {
      replaced = true;
      continue;
    }
    if (HeldExclusivelyElsewhere(it->fd, it->id))
      Fail(kErrExclusivelyLocked,
           "The back end '" + it->path + "' is in exclusive use by another user.");
  }
  return replaced;
}

Statement PrepareResolved(Core& core, const std::string& sql) {
  std::set<std::string> resolved;  // links resolved for this statement (stop on a repeat)
  std::set<std::string> pinned;    // their back ends, which must stay attached meanwhile
  for (int round = 0; round < kMaxResolveRounds; ++round) {
    core.touched.clear();
    core.stray.reset();
    core.viaViews.clear();
    core.guardStatements = true;
    sqlite3_stmt* raw = nullptr;
    const char* tail = nullptr;
    int rc = sqlite3_prepare_v2(core.db, sql.c_str(), static_cast<int>(sql.size()), &raw, &tail);
    core.guardStatements = false;
    Statement stmt(core.db, raw);
    if (rc == SQLITE_OK) {
      if (!raw)
        Fail(kErrSyntax, "The statement is empty.");
      // One statement per call: text after it would be a second statement.
      for (const char* p = tail; p && *p; ++p) {
        if (*p != ' ' && *p != '\t' && *p != '\r' && *p != '\n' && *p != ';')
          Fail(kErrSyntax, "Characters found after the end of the statement.");
      }
      std::set<std::string> schemas = core.touched;
      // A statement that reads no attached back end has nothing to check again: it is ready.
      const bool readsBackEnd =
          std::any_of(core.attachments.begin(), core.attachments.end(),
                      [&](const Attachment& a) { return schemas.count(a.alias) > 0; });
      if (!readsBackEnd)
        return stmt;
      stmt = Statement();  // finalized before any detach
      if (RecheckBackEnds(core, schemas))
        continue;
      // Prepare once more, now that the back ends are known good.
      core.guardStatements = true;
      rc = sqlite3_prepare_v2(core.db, sql.c_str(), static_cast<int>(sql.size()), &raw, nullptr);
      core.guardStatements = false;
      if (rc != SQLITE_OK)
        FailSqlite(core.db, rc);
      return Statement(core.db, raw);
    }
    // Captured now: resolving a link runs statements of its own, which replace the message.
    const Error failure = SqliteError(core.db, rc);
    const std::string message = sqlite3_errmsg(core.db);
    const std::string kNoTable = "no such table: ";
    const std::string kView = "view ", kCircular = " is circularly defined";
    std::optional<std::string> missing;
    if ((rc & 0xff) == SQLITE_AUTH && core.stray) {
      missing = core.stray;
    } else if ((rc & 0xff) == SQLITE_ERROR && message.rfind(kNoTable, 0) == 0) {
      missing = message.substr(kNoTable.size());
    } else if ((rc & 0xff) == SQLITE_ERROR && message.rfind(kView, 0) == 0 &&
               message.ends_with(kCircular)) {
      // SQLite looks a name up in every attached back end when no link view has it yet, and
      // meets a broken view of some other back end before the authorizer can call it stray.
      // The link of that name, if there is one, decides what the name means.
      missing = message.substr(kView.size(), message.size() - kView.size() - kCircular.size());
    }
    if (missing) {
      std::string name = *missing;
      // "vantrel_beN.x": a linked table whose source table left its back end, or something
      // of the back end the statement may not reach (a stored view).
      if (name.rfind(kAliasPrefix, 0) == 0 && name.find('.') != std::string::npos) {
        const std::string alias = name.substr(0, name.find('.'));
        const std::string table = name.substr(name.find('.') + 1);
        for (const Attachment& a : core.attachments) {
          if (a.alias != alias)
            continue;
          for (const std::string& view : a.views) {
            std::optional<CatalogRow> row = FindCatalogRow(core.db, view);
            if (row && EqualsNoCase(row->source.empty() ? row->name : row->source, table))
              MissingSource(a.path, table);
          }
        }
        Fail(kErrTableNotFound, "There is no table or query named '" + table + "'.");
      }
      if (name.rfind("main.", 0) == 0)
        name = name.substr(5);
      if (!resolved.count(name)) {
        if (ResolveLink(core, name, pinned)) {
          resolved.insert(name);
          for (const Attachment& a : core.attachments) {
            if (std::find_if(a.views.begin(), a.views.end(), [&](const std::string& v) {
                  return EqualsNoCase(v, name);
                }) != a.views.end())
              pinned.insert(a.alias);
          }
          continue;
        }
      }
      if (core.stray)
        Fail(kErrTableNotFound, "There is no table or query named '" + *core.stray + "'.");
    }
    throw failure;
  }
  Fail(kErrTooManyBackEnds, "The statement reaches too many linked tables.");
}

}  // namespace dao::detail
