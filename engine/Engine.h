// The component's engine procedures: link-set operations, relinking, validation and the steps of
// the start-up check. They are not part of the host's interface (clsOrvanta.h); windows and
// other procedures call them directly. Every procedure works on the calling thread's component
// state, opens what it needs through the database layer, closes it before it returns and keeps
// nothing between calls.
//
// Failures are reported to the user as each procedure's contract says (engine error report,
// module error report or nothing) and never escape as exceptions.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace orvanta {

// --- Statement text -------------------------------------------------------------------------

// "SELECT TableName, DatabasePath FROM tblLinkedSets INNER JOIN tblLinkedTables ON
// tblLinkedSets.ID = tblLinkedTables.LinkSetID WHERE Name='<name>'" with the name's quotes
// doubled: one row per link of every set of that name.
std::string linksStatement(const std::string& setName);
// 'text' with every quote doubled.
std::string sqlText(const std::string& text);

// The connect string of a new link to a back-end file, and the back-end path out of any
// connect string: its DATABASE part ("" when there is none), whatever other parts (a password)
// it carries. dao/connect.h reads and rewrites the format.
inline constexpr const char* kConnectPrefix = ";DATABASE=";
std::string connectString(const std::string& backEndPath);
std::string backEndPathOf(const std::string& connect);

// The open-file dialogs' filter for database files.
inline constexpr const char* kDatabaseFilter =
    "Access Database(*.mdb;*.mda;*.mde;*.mdw)|*.mdb; *.mda; *.mde; *.mdw|All(*.*)|*.*";

// --- Link-set tables --------------------------------------------------------------------------

// Creates tblLinkedSets, tblLinkedTables and the relation LinkSetToLinkTables in the database at
// path. Reports a failure ("CreateMissingTables - <n>") and returns false; what was created
// before the failing step stays.
bool CreateMissingTables(const std::string& path);

// --- Link-set operations ----------------------------------------------------------------------

bool CreateLinkSet(const std::string& name, const std::string& description);
bool DeleteLinkSet(const std::string& name);
bool MakeActiveSet(const std::string& name, bool& clearAll);
bool AddCurrentLinksToLinkSet(const std::string& name);
bool ClearLinkSet(const std::string& name);
bool RemoveLink(const std::string& setName, const std::string& tableName);
// A two-row array of links: links[0][i] the table name, links[1][i] the bare back-end path.
using LinkArray = std::array<std::vector<std::string>, 2>;
bool GetLinkSetLinks(const std::string& setName, int& count, LinkArray& links);
void DuplicateLinkSet(const std::string& name, const std::string& description);
void AddActiveSetToListBox();

// --- Relinking the front end's table definitions ----------------------------------------------

bool LinkTablesToActiveSet();
bool RemoveExtraLinks();
// 0 when done, else the database layer's error number.
long UpdateLink(const std::string& setName, const std::string& tableName,
                const std::string& backEndPath);
// 0 done, 1 cancelled by the user, else an error number.
long RelinkDatabase(const std::string& oldPath, const std::string& newPath);
// Lets the user choose another database and some of its tables (frmTables) to add as links to
// the set the Set Manager is editing. False when nothing was offered: the dialog was cancelled,
// the database would not open, or it holds no table to add.
bool GetLinks();
// GetLinks; always true. setName is not read: the set is the one the Set Manager shows.
bool AddLinksFromDatabase(const std::string& setName);

// --- Validation and the start-up check --------------------------------------------------------

bool ValidateLinkSets();
// Adds candidate databases below folder (a separator is appended to the caller's variable when
// missing) matching pattern ("*.mdb") to the Fix Set page's candidate store.
void SearchFolderTree(std::string& folder, const std::string& pattern);
void GetActiveSet(const std::string& path);
bool CheckCurrentLinks();
void MatchLinkSets();
int CompareLinkCounts();
bool CheckRelativePath();
void UpdateFrontEndPath();
// The start-up check behind clsOrvanta::CheckLinkedTables: 1 when the user ignored the problem.
int RunStartupCheck(const std::string& strCurrentFEPath);

}  // namespace orvanta
