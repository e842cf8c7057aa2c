#include "cli/DemoBuilder.h"

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "cli/Errors.h"
#include "dao/dao.h"
#include "engine/ComponentState.h"
#include "engine/Engine.h"
#include "host/FrontEndFile.h"
#include "uikit/desktop.h"

namespace fs = std::filesystem;

namespace vantrel {

namespace {

constexpr const char* kSetName = "Office";
constexpr const char* kSetDescription = "Sales and staff data";
constexpr const char* kLocalTable = "tblSettings";

// A demo table: an auto-numbered key, some columns and rows of values for them.
struct DemoTable {
  std::string name;
  std::string key;
  std::vector<std::pair<std::string, int>> columns;  // name, dao type
  std::vector<std::vector<dao::Value>> rows;
};

const std::vector<DemoTable>& salesTables() {
  static const std::vector<DemoTable> tables = {
      {"Customers",
       "CustomerID",
       {{"CompanyName", dao::dbText}, {"City", dao::dbText}},
       {{"Alder & Sons", "Leeds"}, {"Birch Supplies", "York"}, {"Cedar Works", "Hull"}}},
      {"Orders",
       "OrderID",
       {{"CustomerID", dao::dbLong}, {"OrderDate", dao::dbText}, {"Amount", dao::dbDouble}},
       {{1, "2024-01-15", 1250.0},
        {2, "2024-02-03", 310.5},
        {1, "2024-03-22", 89.9},
        {3, "2024-04-09", 2040.0}}},
  };
  return tables;
}

const std::vector<DemoTable>& staffTables() {
  static const std::vector<DemoTable> tables = {
      {"Employees",
       "EmployeeID",
       {{"FirstName", dao::dbText}, {"LastName", dao::dbText}, {"DepartmentID", dao::dbLong}},
       {{"Ada", "Moss", 1}, {"Ben", "Okafor", 2}, {"Clara", "Lind", 2}, {"Dev", "Rao", 3}}},
      {"Departments",
       "DepartmentID",
       {{"DepartmentName", dao::dbText}},
       {{"Sales"}, {"Accounts"}, {"Warehouse"}}},
  };
  return tables;
}

std::string sqlLiteral(const dao::Value& value) {
  switch (value.kind()) {
    case dao::Value::Kind::Null:
      return "NULL";
    case dao::Value::Kind::Text:
      return dao::QuoteText(value.AsString());
    case dao::Value::Kind::Integer:
    case dao::Value::Kind::Real:
      return value.AsString();
  }
  return "NULL";
}

// Creates the table through the layer's table definitions (so text columns get the layer's
// case-insensitive collation, as tables made by a desktop database would) and fills it.
void createTable(dao::Database& db, const DemoTable& table) {
  dao::TableDef def = db.CreateTableDef(table.name);
  dao::Field key = def.CreateField(table.key, dao::dbLong);
  key.Attributes = dao::dbAutoIncrField;
  def.AppendField(key);
  for (const auto& [name, type] : table.columns)
    def.AppendField(def.CreateField(name, type));
  dao::Index primary = def.CreateIndex("PrimaryKey");
  primary.AppendField(table.key);
  primary.Primary = true;
  primary.Unique = true;
  def.AppendIndex(primary);
  db.TableDefs().Append(def);

  std::string columns;
  for (const auto& column : table.columns) {
    if (!columns.empty())
      columns += ", ";
    columns += dao::BracketName(column.first);
  }
  for (const auto& row : table.rows) {
    std::string values;
    for (const auto& value : row) {
      if (!values.empty())
        values += ", ";
      values += sqlLiteral(value);
    }
    db.Execute("INSERT INTO " + dao::BracketName(table.name) + " (" + columns + ") VALUES (" +
               values + ")");
  }
}

void createBackEnd(const std::string& path, const std::vector<DemoTable>& tables) {
  auto db = dao::CreateDatabase(path);
  for (const auto& table : tables)
    createTable(*db, table);
  db->Close();
}

void createFrontEnd(const std::string& path, const std::string& sales, const std::string& staff) {
  auto db = dao::CreateDatabase(path);
  createTable(*db, {kLocalTable,
                    "SettingID",
                    {{"SettingName", dao::dbText}, {"SettingValue", dao::dbText}},
                    {{"CompanyName", "Vantrel Demo Ltd"}, {"Currency", "GBP"}}});
  const std::pair<const std::string*, const std::vector<DemoTable>*> backEnds[] = {
      {&sales, &salesTables()}, {&staff, &staffTables()}};
  for (const auto& [backEnd, tables] : backEnds) {
    for (const auto& table : *tables) {
      dao::TableDef link = db->CreateTableDef(table.name);
      link.SetSourceTableName(table.name);
      link.SetConnect(orvanta::connectString(*backEnd));
      db->TableDefs().Append(link);
    }
  }
  db->Close();
}

// The engine procedures report failures through message boxes. While the demo is built no one
// is there to answer them: keep the text for the one-line error instead, and refuse windows.
class CollectingDesktop : public uikit::Desktop {
 public:
  void runModal(uikit::Form&) override {
    throw std::logic_error("a window was opened while building the demo");
  }
  uikit::Answer messageBox(const uikit::MessageBox& box) override {
    if (!messages_.empty())
      messages_ += "; ";
    messages_ += box.title + ": " + box.text;
    return uikit::defaultAnswer(box.buttons);
  }
  std::string openFile(const uikit::CommonDialog&) override { return ""; }
  const std::string& messages() const { return messages_; }

 private:
  std::string messages_;
};

// The active link set "Office", made as the Set Manager would: a new set recording the front
// end's path, filled from the front end's current links, then made active.
void createLinkSet(const std::string& frontEnd) {
  CollectingDesktop desktop;
  uikit::ScopedDesktop current(desktop);

  orvanta::ComponentState& state = orvanta::state();
  state.currentFrontEndPath = frontEnd;
  state.linkSetDatabasePath.clear();
  bool clearAll = false;
  const bool done = orvanta::CreateLinkSet(kSetName, kSetDescription) &&
                    orvanta::AddCurrentLinksToLinkSet(kSetName) &&
                    orvanta::MakeActiveSet(kSetName, clearAll);
  // A procedure reports a failure after its last step and still returns true: any report
  // means the set is not what the demo promises.
  if (!done || !desktop.messages().empty()) {
    throw FatalError("could not create the link set \"" + std::string(kSetName) + "\": " +
                     (desktop.messages().empty() ? "unknown failure" : desktop.messages()));
  }
}

// Removes, on failure, what this run created; the caller's folder keeps everything else.
class Cleanup {
 public:
  void add(fs::path path) { paths_.push_back(std::move(path)); }
  void release() { paths_.clear(); }
  ~Cleanup() {
    for (auto it = paths_.rbegin(); it != paths_.rend(); ++it) {
      std::error_code ec;
      fs::remove_all(*it, ec);
    }
  }

 private:
  std::vector<fs::path> paths_;
};

bool occupied(const fs::path& path) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(path, ec));
}

std::string makeTempDir() {
  std::error_code ec;
  fs::path base = fs::temp_directory_path(ec);
  if (ec)
    base = "/tmp";
  std::string pattern = (base / "vantrel-demo-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    throw FatalError("cannot create a folder under " + base.string());
  }
  return pattern;
}

std::string scenarioDescription(Scenario scenario) {
  switch (scenario) {
    case Scenario::Healthy:
      return "healthy: every back end is where the links say";
    case Scenario::Renamed:
      return "renamed: App/Data/Sales.mdb renamed to App/Data/Sales-2024.mdb";
    case Scenario::Moved:
      return "moved: the App folder moved to Moved/App";
    case Scenario::NoSet:
      return "noset: linked tables, but no link sets in the front end";
  }
  return "";
}

}  // namespace

std::string shellQuote(const std::string& text) {
  const bool plain = !text.empty() && text.find_first_not_of(
                                          "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                          "0123456789/._-+:,@%=") == std::string::npos;
  if (plain)
    return text;
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

DemoResult buildDemo(const std::string& dirArg, Scenario scenario) {
  Cleanup cleanup;
  fs::path dir;
  std::error_code ec;
  if (dirArg.empty()) {
    dir = makeTempDir();
    cleanup.add(dir);
  } else {
    dir = absolutePath(dirArg);
    const fs::file_status status = fs::status(dir, ec);
    if (fs::exists(status) && !fs::is_directory(status)) {
      throw FatalError(dirArg + ": exists and is not a folder");
    }
    if (!fs::exists(status)) {
      // Remove only the topmost folder this run creates, never one that was already there.
      fs::path topmost = dir;
      while (topmost.has_parent_path() && topmost.parent_path() != topmost &&
             !fs::exists(topmost.parent_path(), ec)) {
        topmost = topmost.parent_path();
      }
      if (!fs::create_directories(dir, ec) && ec) {
        throw FatalError(dirArg + ": cannot create the folder: " + ec.message());
      }
      cleanup.add(topmost);
    }
  }

  const fs::path app = dir / "App";
  const fs::path movedParent = dir / "Moved";
  if (occupied(app)) {
    throw FatalError(dir.string() + " already holds App/; choose another folder or remove it");
  }
  if (scenario == Scenario::Moved && occupied(movedParent / "App")) {
    throw FatalError(dir.string() +
                     " already holds Moved/App/; choose another folder or remove it");
  }

  const fs::path data = app / "Data";
  const fs::path sales = data / "Sales.mdb";
  const fs::path staff = data / "Staff.mdb";
  const fs::path front = app / "Front.mdb";
  cleanup.add(app);
  try {
    fs::create_directories(data);
    createBackEnd(sales.string(), salesTables());
    createBackEnd(staff.string(), staffTables());
    createFrontEnd(front.string(), sales.string(), staff.string());
    if (scenario != Scenario::NoSet)
      createLinkSet(front.string());
  } catch (const dao::Error& e) {
    throw FatalError("cannot build the demo: " + e.Description() + " (error " +
                     std::to_string(e.Number()) + ")");
  } catch (const fs::filesystem_error& e) {
    throw FatalError("cannot build the demo: " + e.code().message() + ": " + e.path1().string());
  }

  DemoResult result{dir.string(), front.string()};
  try {
    switch (scenario) {
      case Scenario::Renamed:
        fs::rename(sales, data / "Sales-2024.mdb");
        break;
      case Scenario::Moved: {
        const bool madeParent = !occupied(movedParent);
        fs::create_directories(movedParent);
        if (madeParent)
          cleanup.add(movedParent);
        fs::rename(app, movedParent / "App");
        result.frontEnd = (movedParent / "App" / "Front.mdb").string();
        break;
      }
      case Scenario::Healthy:
      case Scenario::NoSet:
        break;
    }
  } catch (const fs::filesystem_error& e) {
    throw FatalError("cannot apply the " + scenarioName(scenario) +
                     " scenario: " + e.code().message());
  }
  cleanup.release();
  return result;
}

int runDemo(const Options& options, const std::string& program) {
  const DemoResult demo = buildDemo(options.demoDir, options.scenario);
  const std::string invoked =
      program.find('/') == std::string::npos ? "vantrel" : absolutePath(program);
  std::cout << "Built the demo in " << demo.dir << "\n"
            << "  App/Data/Sales.mdb  back end: Customers, Orders\n"
            << "  App/Data/Staff.mdb  back end: Employees, Departments\n"
            << "  App/Front.mdb       front end: local table " << kLocalTable << ", 4 linked tables"
            << (options.scenario == Scenario::NoSet
                    ? ", no link sets\n"
                    : ", active link set \"" + std::string(kSetName) + "\"\n")
            << "Scenario " << scenarioDescription(options.scenario) << "\n"
            << "Run the check with:\n"
            << "  " << shellQuote(invoked) << " check " << shellQuote(demo.frontEnd) << "\n";
  return 0;
}

}  // namespace vantrel
