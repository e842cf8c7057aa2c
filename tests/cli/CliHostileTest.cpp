// Hostile files and names, met as a user meets them: `vantrel check` with the console driver and
// no answers, `vantrel status` and `vantrel status --json`, each on a front end that is no
// database, a front end with a malicious schema, or a sound front end whose links lead to files,
// names and connect strings nobody should have to handle. Each run must end (no hang), say what
// is wrong in one clear message or give a sound result, and leave the files as they were: the
// status never changes a byte, a refused check neither, and a check that runs keeps every link.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "tests/cli/CliTestSupport.h"
#include "tests/support/SqliteFiles.h"

namespace clitest {
namespace {

namespace fs = std::filesystem;
using testsupport::TempDir;

void writeFile(const std::string& path, const std::string& bytes) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string sqlText(const std::string& text) {
  std::string out = "'";
  for (char c : text)
    out += c == '\'' ? std::string("''") : std::string(1, c);
  return out + "'";
}

// A front end at dir/fe with an active set "Office" linking Customers and Orders from the back
// end at dir/be, the front end's path recorded, as a check of this very file would leave it.
std::string sound(const TempDir& dir, const std::string& fe = "App/Front.mdb",
                  const std::string& be = "App/Data/Sales.mdb",
                  const std::string& setName = "Office", const std::string& description = "") {
  const std::string front = dir.file(fe), back = dir.file(be);
  fs::create_directories(fs::path(front).parent_path());
  testsupport::makeBackEnd(back, {"Customers", "Orders"});
  testsupport::makeFrontEnd(front);
  testsupport::linkTable(front, "Customers", back);
  testsupport::linkTable(front, "Orders", back);
  testsupport::addLinkSet(front, setName, description, true,
                          {{"Customers", back}, {"Orders", back}}, front);
  return front;
}

// Points the front end's link table (definition and set row) at connect instead.
void relink(const std::string& front, const std::string& table, const std::string& connect) {
  testsupport::runSql(front, "UPDATE MSysTableDefs SET Connect = " + sqlText(connect) +
                                 " WHERE Name = '" + table + "'; UPDATE tblLinkedTables SET " +
                                 "DatabasePath = " + sqlText(connect) + " WHERE TableName = '" +
                                 table + "';");
}

void symlinkLoop(const std::string& path) {
  fs::create_symlink(path + ".other", path);
  fs::create_symlink(path, path + ".other");
}

void unreadable(const std::string& path) {
  testsupport::makeBackEnd(path, {"Orders"});
  fs::permissions(path, fs::perms::none);
}

// A sound back end with schema added by SQLite itself.
std::function<void(const std::string&)> backEndWith(const std::string& sql,
                                                    const std::string& table = "Other") {
  return [sql, table](const std::string& path) {
    testsupport::makeBackEnd(path, {table});
    testsupport::runSql(path, sql);
  };
}

// A sound front end, then sql run on it.
std::function<std::string(const TempDir&)> soundWith(const std::string& sql) {
  return [sql](const TempDir& d) {
    const std::string front = sound(d);
    testsupport::runSql(front, sql);
    return front;
  };
}

// count tables, made in one transaction.
std::string manyTables(int count) {
  std::string sql = "BEGIN;";
  for (int i = 0; i < count; ++i)
    sql += "CREATE TABLE t" + std::to_string(i) + "(a INTEGER, b TEXT, c BLOB);";
  return sql + "COMMIT;";
}

const std::string kRecursiveView =
    "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c) SELECT x AS ID FROM c";
const std::string kCircularOrders =
    "CREATE VIEW Orders AS SELECT * FROM o2; CREATE VIEW o2 AS SELECT * FROM Orders;";

// A folder path of about length characters below dir.
std::string deepFolder(const TempDir& dir, std::size_t length) {
  std::string path = dir.path();
  while (path.size() < length)
    path += "/" + std::string(std::min<std::size_t>(200, length - path.size() + 1), 'd');
  fs::create_directories(path);
  return path;
}

// A front end at dir/f.mdb made by make(path).
std::function<std::string(const TempDir&)> frontEnd(
    const std::function<void(const std::string&)>& make) {
  return [make](const TempDir& d) {
    make(d.file("f.mdb"));
    return d.file("f.mdb");
  };
}

// A sound front end whose Orders link holds connect.
std::function<std::string(const TempDir&)> connect(const std::string& connect) {
  return [connect](const TempDir& d) {
    const std::string front = sound(d);
    relink(front, "Orders", connect);
    return front;
  };
}

// A sound front end whose Orders link leads to dir/App/Data/Orders.mdb, made by make(path).
std::function<std::string(const TempDir&)> backEnd(
    const std::function<void(const std::string&)>& make) {
  return [make](const TempDir& d) {
    fs::create_directories(d.file("App/Data"));
    make(d.file("App/Data/Orders.mdb"));
    return connect(";DATABASE=" + d.file("App/Data/Orders.mdb"))(d);
  };
}

struct Case {
  std::string name;
  std::function<std::string(const TempDir&)> make;  // builds the files, returns FRONTEND
  std::string status;           // what the status shows, on stdout or in its refusal
  std::string check = "";       // what the check shows: "" nothing, kRefuses the status's refusal
  bool permissionBits = false;  // relies on permission bits, which the super-user passes by
};

// Exit status 2, one line on stderr and nothing else, from the status and the check alike.
const std::string kRefuses = "(refused)";
const std::string kWizard = "\"Vantrel Wizard - ";  // a page, closed at the end of input

// (Which damaged or foreign files the database layer refuses is its own tests'; here, one of
// each kind of refusal as the program reports it.)
std::vector<Case> cases() {
  std::vector<Case> all = {
      // The front end itself.
      {"empty file", frontEnd([](auto& p) { writeFile(p, ""); }), "not a database file", kRefuses},
      {"link to a device", frontEnd([](auto& p) { fs::create_symlink("/dev/zero", p); }),
       "not a regular file", kRefuses},
      {"text file", frontEnd([](auto& p) { writeFile(p, "Name;Path\nOrders;C:\\x.mdb\n"); }),
       "not a database file", kRefuses},
      {"corrupted SQLite file", frontEnd([](auto& p) {
         testsupport::makeBackEnd(p, {"Orders"});
         std::fstream(p, std::ios::in | std::ios::out | std::ios::binary).seekp(100)
             << std::string(8000, '\xa5');
       }),
       "not a database file", kRefuses},
      {"device", [](auto&) { return std::string("/dev/zero"); }, "not a regular file", kRefuses},
      {"socket", frontEnd([](auto& p) { ASSERT_EQ(::mknod(p.c_str(), S_IFSOCK | 0644, 0), 0); }),
       "not a regular file", kRefuses},
      {"folder named .mdb", [](auto& d) { return d.mkdir("f.mdb"); }, "is a folder", kRefuses},
      {"symbolic link loop", frontEnd(symlinkLoop), "Too many levels of symbolic links", kRefuses},
      {"file used as a folder",
       [](auto& d) {
         writeFile(d.file("x.mdb"), "x");
         return d.file("x.mdb/f.mdb");
       },
       "no such file", kRefuses},
      {"4 KB path", [](auto& d) { return d.path() + "/" + std::string(4100, 'p') + ".mdb"; },
       "File name too long", kRefuses},
      {"path longer than the engine takes",
       [](auto& d) {
         sound(d);
         const std::string deep = deepFolder(d, 700);
         fs::rename(d.file("App"), deep + "/App");
         return deep + "/App/Front.mdb";
       },
       "bytes the database engine accepts", kRefuses},
      {"empty operand", [](auto&) { return std::string(); }, "empty file name", kRefuses},
      {"unreadable file", frontEnd(unreadable), "permission denied", kRefuses, true},
      {"unreadable folder",
       [](auto& d) {
         const std::string front = sound(d, "Locked/Front.mdb");
         fs::permissions(d.file("Locked"), fs::perms::none);
         return front;
       },
       "ermission denied", kRefuses, true},

      // Schemas written to do harm. Triggers and views are the file's own; the layer runs none
      // of a view's code and stops a trigger that never ends.
      {"views that recurse and a huge schema",
       soundWith("CREATE VIEW v1 AS SELECT * FROM v2; CREATE VIEW v2 AS SELECT * FROM v1; "
                 "CREATE VIEW Forever AS " +
                 kRecursiveView + ";" + manyTables(2000)),
       "opens"},
      {"trigger that never ends",
       soundWith("CREATE TRIGGER Forever AFTER UPDATE ON tblLinkedSets BEGIN SELECT count(*) "
                 "FROM (" +
                 kRecursiveView + "); END;"),
       "opens", "never ends"},
      // Set rows and connect strings.
      {"set name and description of 10,000 characters",
       [](auto& d) {
         std::string text;
         for (int i = 0; i < 1000; ++i)
           text += "line\t" + std::to_string(i % 10) + "\r\n";
         return sound(d, "App/Front.mdb", "App/Data/Sales.mdb", std::string(10000, 'S'), text);
       },
       "line\\t9\\nline"},
      {"link to a relative path", connect(";DATABASE=Data/Sales.mdb"),
       "'Data/Sales.mdb' does not exist", kWizard},
      {"connect string without DATABASE", connect("ODBC;DSN=Sales;UID=x"), "names no back-end file",
       kWizard},
      {"DATABASE= alone", connect(";DATABASE="), "names no back-end file", kWizard},
      {"connect string with extra ; parts",
       [](auto& d) {
         return connect(";;DATABASE=" + d.file("App/Data/Sales.mdb") + ";;PWD=s;;x;")(d);
       },
       "PWD=*****"},
      {"link row naming a table with a break",
       soundWith("UPDATE tblLinkedTables SET TableName = 'Or\nders]\"' WHERE TableName = "
                 "'Orders';"),
       "Or\\nders]\"", kWizard},
      {"link row without a path", soundWith("UPDATE tblLinkedTables SET DatabasePath = NULL;"),
       "Links: 2", kWizard},
      {"two active sets",
       [](auto& d) {
         const std::string front = sound(d);
         testsupport::addLinkSet(front, "Second", "", true, {{"Orders", d.file("nowhere.mdb")}},
                                 front);
         return front;
       },
       "Second [active", kWizard},

      // Back ends that are no database, or a database built to do harm.
      {"empty back end", backEnd([](auto& p) { writeFile(p, ""); }), "(empty). (error 3343)",
       kWizard},
      {"back end truncated", backEnd([](auto& p) {
         testsupport::makeBackEnd(p, {"Orders"});
         fs::resize_file(p, 4096);
       }),
       "(truncated). (error 3343)", kWizard},
      {"FIFO back end", backEnd([](auto& p) { ASSERT_EQ(mkfifo(p.c_str(), 0644), 0); }),
       "(not a regular file). (error 3343)", kWizard},
      {"back end in a link loop", backEnd(symlinkLoop),
       "Too many levels of symbolic links. (error 3051)", kWizard},
      {"back end at a 4 KB path", connect(";DATABASE=/" + std::string(4100, 'b')), "does not exist",
       kWizard},
      {"back end at a path longer than the engine takes",
       [](auto& d) {
         const std::string back = deepFolder(d, 700) + "/Sales.mdb";
         testsupport::makeBackEnd(d.file("short.mdb"), {"Orders"});
         fs::rename(d.file("short.mdb"), back);
         return connect(";DATABASE=" + back)(d);
       },
       "bytes the database engine accepts. (error 3051)", kWizard},
      {"unreadable back end", backEnd(unreadable), "Permission denied", kWizard, true},
      {"source table is a circular view", backEnd(backEndWith(kCircularOrders)),
       "has no table named 'Orders'", kWizard},
      // SQLite looks names up in every attached back end: a broken view of another back end
      // must not stand in for this link.
      {"circular view named like the link in another back end",
       [](auto& d) {
         const std::string front = sound(d);
         const std::string other = ";DATABASE=" + d.file("App/Data/Other.mdb");
         backEndWith(kCircularOrders, "Customers")(d.file("App/Data/Other.mdb"));
         relink(front, "Customers", other);
         return front;
       },
       "Sales.mdb  opens"},
      {"back end with a huge schema and triggers on its tables",
       backEnd(backEndWith(manyTables(2000) +
                               "CREATE TRIGGER Wipe AFTER INSERT ON Orders BEGIN DELETE FROM "
                               "Orders; END;",
                           "Orders")),
       "opens"},
      // SQLite counts any journal beside a file as a change to roll back, which a reader may not.
      {"back end with a damaged journal beside it", backEnd([](auto& p) {
         testsupport::makeBackEnd(p, {"Orders"});
         writeFile(p + "-journal", std::string(5000, '\x5a'));
       }),
       "unfinished change from an interrupted write", kWizard},
  };
  // Names that quoting, formats, terminals, JSON readers and statements trip over: each given to
  // the front end and its folder, and apart from that to the back end, its folder and the set.
  std::string longAccented;
  for (int i = 0; i < 100; ++i)
    longAccented += "\xc3\xa9";
  const std::pair<const char*, std::string> names[] = {
      {"quotes", "it's \"x\""},
      {"brackets", "[Sales]]"},
      {"percent", "%s%n%%20"},
      {"newline", "a\nb"},
      {"carriage return", "a\rb"},
      {"tab", "a\tb"},
      {"invalid UTF-8", "\xff\xfe"},
      {"overlong UTF-8", "\xc0\xaf"},
      {"surrogate", "\xed\xa0\x80"},
      {"four-byte UTF-8", "\xf0\x9f\x93\x81"},
      {"right-to-left override", "\xe2\x80\xaegpj"},
      {"line separator",
       "a\xe2\x80\xa8"
       "b"},
      {"byte order mark", "\xef\xbb\xbfx"},
      {"delete", "a\x7f"},
      {"semicolon", "a;b"},
      {"equals", "a=b"},
      {"leading blank", " x"},
      {"trailing dot and blank", "x. "},
      {"hash", "#1"},
      {"control character", "a\x1b[31m"},
      {"backslash", "a\\b"},
      {"wildcards", "*?"},
      {"shell characters", "$HOME`id`"},
      {"statement text", "'; DROP TABLE tblLinkedSets; --"},
      {"bracketed statement", "]; DELETE FROM MSysTableDefs; --"},
      {"reserved device name", "CON"},
      {"long component", std::string(200, 'n')},
      {"leading dash", "-x"},
      {"colon", "a:b"},
      {"ampersand and pipe", "a&b|c"},
      {"angle brackets", "<b>x</b>"},
      {"format braces", "{0}{}"},
      {"pattern characters", "_%_[!a-z]"},
      {"tilde", "~1"},
      {"dot dot", "..x"},
      {"comma", "a,b"},
      {"combining accent", "e\xcc\x81"},
      {"precomposed accent", "\xc3\xa9"},
      {"zero-width joiner",
       "a\xe2\x80\x8d"
       "b"},
      {"fullwidth solidus",
       "a\xef\xbc\x8f"
       "b"},
      {"non-breaking space",
       "a\xc2\xa0"
       "b"},
      {"C1 control",
       "a\xc2\x85"
       "b"},
      {"vertical tab and form feed",
       "a\x0b\x0c"
       "b"},
      {"terminal title sequence", "\x1b]0;owned\x07"},
      {"escaped text", "\\u0000\\\"%2F%00&amp;"},
      {"upper-case extension", ".MDB"},
      {"CJK", "\xe6\x95\xb0\xe6\x8d\xae"},
      {"right-to-left text", "\xd7\xa9\xd7\x9c\xd7\x95\xd7\x9d"},
      {"trailing blank", "x "},
      {"long accented component",
       [] {
         std::string n;
         for (int i = 0; i < 100; ++i)
           n += "\xc3\xa9";
         return n;
       }()},
      {"emoji sequence", "\xf0\x9f\x91\xa9\xe2\x80\x8d\xf0\x9f\x92\xbb"}};
  for (const auto& [label, name] : names) {
    all.push_back({std::string("front end named with ") + label,
                   [name](auto& d) { return sound(d, "App" + name + "/Front" + name + ".mdb"); },
                   "opens"});
    all.push_back({std::string("back end and set named with ") + label,
                   [name](auto& d) {
                     return sound(d, "App/Front.mdb", "Data" + name + "/Sales" + name + ".mdb",
                                  "Set" + name, name);
                   },
                   "opens"});
  }
  return all;
}

// Test listings name the case, not its bytes.
void PrintTo(const Case& c, std::ostream* out) {
  *out << c.name;
}

class Hostile : public ::testing::TestWithParam<Case> {};

// The listing of dir without the front end's line, whose flags a check may update. (Names may
// hold line breaks, so the line is found by its start, not split off at one.)
std::string withoutFile(std::string snapshot, const std::string& dir, const std::string& file) {
  const std::string start = fs::path(file).lexically_relative(dir).string() + " ";
  const std::size_t at = snapshot.find(start);
  if (at != std::string::npos)
    snapshot.erase(at, snapshot.find('\n', at + start.size()) - at);
  return snapshot;
}

TEST_P(Hostile, EndsWithOneClearMessageAndChangesNothing) {
  const Case& c = GetParam();
  if (c.permissionBits && geteuid() == 0)
    GTEST_SKIP() << "the super-user reads and writes whatever the permission bits say";
  TempDir dir;
  const std::string frontEnd = c.make(dir);
  const bool refused = c.check == kRefuses;
  using Links = std::pair<std::vector<testsupport::LinkedDef>, std::vector<testsupport::LinkRow>>;
  const auto links = [&] {
    return refused ? Links{}
                   : Links{testsupport::linkedDefs(frontEnd), testsupport::linkRows(frontEnd)};
  };
  const std::string before = treeSnapshot(dir.path());
  const Links linksBefore = links();
  const auto expect = [&](const Result& r, const std::string& mention, const char* what) {
    SCOPED_TRACE(what);
    if (refused) {
      EXPECT_TRUE(failedWithOneLine(r, mention));
      return;
    }
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(mention.empty() ? r.out.empty() : r.out.find(mention) != std::string::npos)
        << mention << "\n"
        << r.out.substr(0, 3000);
  };

  // The status reads; it never changes a byte. A check that finds nothing to ask found every
  // link working.
  const Result text = run({"status", frontEnd});
  expect(text, c.status, "status");
  if (!refused && c.check.empty()) {
    EXPECT_EQ(text.out.find("does not open"), std::string::npos) << text.out.substr(0, 3000);
  }
  const Result json = run({"status", "--json", frontEnd});
  if (!refused) {
    EXPECT_EQ(json.exitCode, 0) << json.err;
    EXPECT_NO_THROW(parseJson(json.out)) << json.out.substr(0, 3000);
  }
  EXPECT_EQ(treeSnapshot(dir.path()), before);

  expect(run({"check", "--ui=console", frontEnd}), refused ? c.status : c.check, "check");
  const auto files = [&](const std::string& snapshot) {
    return refused ? snapshot : withoutFile(snapshot, dir.path(), frontEnd);
  };
  EXPECT_EQ(files(treeSnapshot(dir.path())), files(before));
  EXPECT_EQ(links(), linksBefore);
}

INSTANTIATE_TEST_SUITE_P(Inputs, Hostile, ::testing::ValuesIn(cases()), [](const auto& info) {
  std::string name;
  for (char ch : info.param.name)
    name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
  return name;
});

}  // namespace
}  // namespace clitest
