// Hostile files and names, met as a user meets them: `vantrel check` with the console driver and
// no answers, `vantrel status` and `vantrel status --json`, each on a front end that is no
// database, a front end with a malicious schema, or a sound front end whose links lead to files,
// names and connect strings nobody should have to handle. Each run must end (no hang), say what
// is wrong in one clear message or give a sound result, and leave the files as they were: the
// status never changes a byte, a refused check neither, and a check that runs keeps every link.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
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

// A sound front end whose Orders link (definition and set row) holds connect instead.
std::string orders(const TempDir& dir, const std::string& connect) {
  const std::string front = sound(dir);
  testsupport::runSql(front, "UPDATE MSysTableDefs SET Connect = " + sqlText(connect) +
                                 " WHERE Name = 'Orders'; UPDATE tblLinkedTables SET "
                                 "DatabasePath = " +
                                 sqlText(connect) + " WHERE TableName = 'Orders';");
  return front;
}

// A sound front end whose Orders link leads to dir/App/Data/Orders.mdb, made by make(path).
std::string ordersAt(const TempDir& dir, const std::function<void(const std::string&)>& make,
                     const std::string& name = "App/Data/Orders.mdb") {
  const std::string path = dir.file(name);
  fs::create_directories(fs::path(path).parent_path());
  make(path);
  return orders(dir, ";DATABASE=" + path);
}

std::string sqliteHeader() {
  return std::string("SQLite format 3\0", 16) + "\x10\x00\x01\x01\x00\x40\x20\x20";
}

// A file of the sound back end's first `keep` bytes, then `tail`.
void mangled(const std::string& path, std::size_t keep, const std::string& tail) {
  TempDir scratch;
  testsupport::makeBackEnd(scratch.file("be.mdb"), {"Orders"});
  writeFile(path, testsupport::fileBytes(scratch.file("be.mdb")).substr(0, keep) + tail);
}

void fifo(const std::string& path) {
  ASSERT_EQ(mkfifo(path.c_str(), 0644), 0);
}

void socketFile(const std::string& path) {
  const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  // Socket names are short; bind from the folder so the temporary folder's length never matters.
  const fs::path before = fs::current_path();
  fs::current_path(fs::path(path).parent_path());
  std::snprintf(address.sun_path, sizeof address.sun_path, "%s", fs::path(path).filename().c_str());
  ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  fs::current_path(before);
  ::close(s);
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
std::function<void(const std::string&)> backEndWith(const std::string& sql) {
  return [sql](const std::string& path) {
    testsupport::makeBackEnd(path, {"Other"});
    testsupport::runSql(path, sql);
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

struct Expect {
  int exitCode;
  std::string mention;  // in the one line on stderr for 2, else on stdout ("": stdout empty)
};

struct Case {
  std::string name;
  std::function<std::string(const TempDir&)> make;  // builds the files, returns FRONTEND
  Expect check, status;
  bool permissionBits = false;  // relies on permission bits, which the super-user passes by
};

const Expect kRefused{2, ""};                  // with the status's mention
const Expect kSound{0, ""};                    // a check with nothing to ask
const Expect kAsks{0, "\"Vantrel Wizard - "};  // a wizard page, closed at the end of input
const Expect kOpens{0, "opens"};
const Expect kNotADatabase{2, "not a database file"};
const Expect kNotRegular{2, "not a regular file"};

std::vector<Case> cases() {
  std::vector<Case> all = {
      // The front end itself.
      {"empty file", frontEnd([](auto& p) { writeFile(p, ""); }), kRefused, kNotADatabase},
      {"text file", frontEnd([](auto& p) { writeFile(p, "Name;Path\nOrders;C:\\x.mdb\n"); }),
       kRefused, kNotADatabase},
      {"SQLite header alone", frontEnd([](auto& p) { writeFile(p, sqliteHeader()); }), kRefused,
       kNotADatabase},
      {"truncated inside the header", frontEnd([](auto& p) { mangled(p, 60, ""); }), kRefused,
       kNotADatabase},
      {"truncated after the first page", frontEnd([](auto& p) { mangled(p, 4096, ""); }), kRefused,
       kNotADatabase},
      {"schema page overwritten",
       frontEnd([](auto& p) { mangled(p, 100, std::string(8000, '\xa5')); }), kRefused,
       kNotADatabase},
      {"FIFO", frontEnd(fifo), kRefused, kNotRegular},
      {"socket", frontEnd(socketFile), kRefused, kNotRegular},
      {"device", [](auto&) { return std::string("/dev/zero"); }, kRefused, kNotRegular},
      {"link to a device", frontEnd([](auto& p) { fs::create_symlink("/dev/null", p); }), kRefused,
       kNotRegular},
      {"folder named .mdb", [](auto& d) { return d.mkdir("f.mdb"); }, kRefused, {2, "is a folder"}},
      {"symbolic link loop",
       frontEnd(symlinkLoop),
       kRefused,
       {2, "Too many levels of symbolic links"}},
      {"dangling link",
       frontEnd([](auto& p) { fs::create_symlink(p + ".gone", p); }),
       kRefused,
       {2, "no such file"}},
      {"file used as a folder",
       [](auto& d) {
         writeFile(d.file("x.mdb"), "x");
         return d.file("x.mdb/f.mdb");
       },
       kRefused,
       {2, "no such file"}},
      {"4 KB path",
       [](auto& d) { return d.path() + "/" + std::string(4100, 'p') + ".mdb"; },
       kRefused,
       {2, "File name too long"}},
      {"path longer than the engine takes",
       [](auto& d) {
         sound(d);
         const std::string deep = deepFolder(d, 700);
         fs::rename(d.file("App"), deep + "/App");
         return deep + "/App/Front.mdb";
       },
       kRefused,
       {2, "bytes the database engine accepts"}},
      {"empty operand", [](auto&) { return std::string(); }, kRefused, {2, "empty file name"}},
      {"unreadable file", frontEnd(unreadable), kRefused, {2, "permission denied"}, true},
      {"unreadable folder",
       [](auto& d) {
         const std::string front = sound(d, "Locked/Front.mdb");
         fs::permissions(d.file("Locked"), fs::perms::none);
         return front;
       },
       kRefused,
       {2, "ermission denied"},
       true},

      // Schemas written to do harm. Triggers and views are the file's own; the layer runs none
      // of a view's code and stops a trigger that never ends.
      {"views that recurse",
       [](auto& d) {
         const std::string front = sound(d);
         testsupport::runSql(front,
                             "CREATE VIEW v1 AS SELECT * FROM v2; CREATE VIEW v2 AS SELECT "
                             "* FROM v1; CREATE VIEW Forever AS " +
                                 kRecursiveView + ";");
         return front;
       },
       kSound, kOpens},
      {"huge schema",
       [](auto& d) {
         const std::string front = sound(d);
         testsupport::runSql(front, manyTables(2000));
         return front;
       },
       kSound, kOpens},
      {"trigger that never ends",
       [](auto& d) {
         const std::string front = sound(d);
         testsupport::runSql(front,
                             "CREATE TRIGGER Forever AFTER UPDATE ON tblLinkedSets BEGIN "
                             "SELECT count(*) FROM (" +
                                 kRecursiveView + "); END;");
         return front;
       },
       {0, "never ends"},
       kOpens},
      {"trigger that refuses every change",
       [](auto& d) {
         const std::string front = sound(d);
         testsupport::runSql(front,
                             "CREATE TRIGGER NoWay BEFORE UPDATE ON tblLinkedSets BEGIN "
                             "SELECT RAISE(ABORT, 'no changes here'); END;");
         return front;
       },
       {0, "no changes here"},
       kOpens},

      // Set rows and connect strings.
      {"set name of 10,000 characters",
       [](auto& d) {
         return sound(d, "App/Front.mdb", "App/Data/Sales.mdb", std::string(10000, 'S'));
       },
       kSound,
       {0, std::string(10000, 'S')}},
      {"description of 10,000 characters with breaks",
       [](auto& d) {
         std::string text;
         for (int i = 0; i < 1000; ++i)
           text += "line\t" + std::to_string(i % 10) + "\r\n";
         return sound(d, "App/Front.mdb", "App/Data/Sales.mdb", "Office", text);
       },
       kSound,
       {0, "line\\t9\\nline"}},
      {"link to a relative path",
       [](auto& d) { return orders(d, ";DATABASE=Data/Sales.mdb"); },
       kAsks,
       {0, "'Data/Sales.mdb' does not exist"}},
      {"link to an empty path",
       [](auto& d) { return orders(d, ";DATABASE="); },
       kAsks,
       {0, "names no back-end file"}},
      {"connect string without DATABASE",
       [](auto& d) { return orders(d, "ODBC;DSN=Sales;UID=x"); },
       kAsks,
       {0, "names no back-end file"}},
      {"connect string of semicolons",
       [](auto& d) { return orders(d, ";;;;"); },
       kAsks,
       {0, "names no back-end file"}},
      {"connect string with extra parts",
       [](auto& d) {
         return orders(d, ";;DATABASE=" + d.file("App/Data/Sales.mdb") + ";;PWD=secret;;x;");
       },
       kSound,
       {0, "PWD=*****"}},
      {"link row naming a table with a break",
       [](auto& d) {
         const std::string front = sound(d);
         testsupport::runSql(front,
                             "UPDATE tblLinkedTables SET TableName = 'Or\nders]\"' WHERE "
                             "TableName = 'Orders';");
         return front;
       },
       kAsks,
       {0, "Or\\nders]\""}},

      // Back ends that are no database, or a database built to do harm.
      {"empty back end",
       [](auto& d) { return ordersAt(d, [](auto& p) { writeFile(p, ""); }); },
       kAsks,
       {0, "(empty). (error 3343)"}},
      {"text back end",
       [](auto& d) { return ordersAt(d, [](auto& p) { writeFile(p, "ID,Name\n1,x\n"); }); },
       kAsks,
       {0, "error 3343"}},
      {"back end truncated",
       [](auto& d) { return ordersAt(d, [](auto& p) { mangled(p, 4096, ""); }); },
       kAsks,
       {0, "(truncated). (error 3343)"}},
      {"back end with its schema page overwritten",
       [](auto& d) {
         return ordersAt(d, [](auto& p) { mangled(p, 100, std::string(8000, '\xa5')); });
       },
       kAsks,
       {0, "error 3343"}},
      {"FIFO back end",
       [](auto& d) { return ordersAt(d, fifo); },
       kAsks,
       {0, "(not a regular file). (error 3343)"}},
      {"socket back end",
       [](auto& d) { return ordersAt(d, socketFile); },
       kAsks,
       {0, "(not a regular file). (error 3343)"}},
      {"back end linked to a device",
       [](auto& d) { return ordersAt(d, [](auto& p) { fs::create_symlink("/dev/zero", p); }); },
       kAsks,
       {0, "(not a regular file). (error 3343)"}},
      {"folder named like the back end",
       [](auto& d) { return ordersAt(d, [](auto& p) { fs::create_directory(p); }); },
       kAsks,
       {0, "(not a regular file). (error 3343)"}},
      {"back end in a link loop",
       [](auto& d) { return ordersAt(d, symlinkLoop); },
       kAsks,
       {0, "Too many levels of symbolic links. (error 3051)"}},
      {"back end at a 4 KB path",
       [](auto& d) { return orders(d, ";DATABASE=" + d.path() + "/" + std::string(4100, 'b')); },
       kAsks,
       {0, "does not exist"}},
      {"back end at a path longer than the engine takes",
       [](auto& d) {
         const std::string back = deepFolder(d, 700) + "/Sales.mdb";
         testsupport::makeBackEnd(d.file("short.mdb"), {"Orders"});
         fs::rename(d.file("short.mdb"), back);
         return orders(d, ";DATABASE=" + back);
       },
       kAsks,
       {0, "bytes the database engine accepts. (error 3051)"}},
      {"unreadable back end",
       [](auto& d) { return ordersAt(d, unreadable); },
       kAsks,
       {0, "Permission denied"},
       true},
      {"source table is a view that recurses",
       [](auto& d) { return ordersAt(d, backEndWith("CREATE VIEW Orders AS " + kRecursiveView)); },
       kAsks,
       {0, "has no table named 'Orders'"}},
      {"source table is a circular view",
       [](auto& d) {
         return ordersAt(d, backEndWith("CREATE VIEW Orders AS SELECT * FROM o2;"
                                        "CREATE VIEW o2 AS SELECT * FROM Orders;"));
       },
       kAsks,
       {0, "has no table named 'Orders'"}},
      // SQLite looks names up in every attached back end: a broken view of another back end
      // must not stand in for this link.
      {"circular view named like the link in another back end",
       [](auto& d) {
         const std::string front = sound(d);
         const std::string other = d.file("App/Data/Other.mdb");
         testsupport::makeBackEnd(other, {"Customers"});
         testsupport::runSql(other,
                             "CREATE VIEW Orders AS SELECT * FROM o2;"
                             "CREATE VIEW o2 AS SELECT * FROM Orders;");
         testsupport::runSql(front,
                             "UPDATE MSysTableDefs SET Connect = " + sqlText(";DATABASE=" + other) +
                                 " WHERE Name = 'Customers'; UPDATE tblLinkedTables SET "
                                 "DatabasePath = " +
                                 sqlText(";DATABASE=" + other) + " WHERE TableName = 'Customers';");
         return front;
       },
       kSound,
       {0, "Sales.mdb  opens"}},
      {"back end with a huge schema",
       [](auto& d) {
         return ordersAt(d, [](auto& p) {
           testsupport::makeBackEnd(p, {"Orders"});
           testsupport::runSql(p, manyTables(2000));
         });
       },
       kSound, kOpens},
      {"back end with triggers on its tables",
       [](auto& d) {
         return ordersAt(d, [](auto& p) {
           testsupport::makeBackEnd(p, {"Orders"});
           testsupport::runSql(p,
                               "CREATE TRIGGER Wipe AFTER INSERT ON Orders BEGIN DELETE FROM "
                               "Orders; END;");
         });
       },
       kSound, kOpens},
      {"zero-filled back end",
       [](auto& d) { return ordersAt(d, [](auto& p) { writeFile(p, std::string(8192, '\0')); }); },
       kAsks,
       {0, "error 3343"}},
      // SQLite counts any journal beside a file as a change to roll back, which a reader may not.
      {"back end with a damaged journal beside it",
       [](auto& d) {
         return ordersAt(d, [](auto& p) {
           testsupport::makeBackEnd(p, {"Orders"});
           writeFile(p + "-journal", std::string(5000, '\x5a'));
         });
       },
       kAsks,
       {0, "unfinished change from an interrupted write"}},
      {"connect string of 10,000 characters",
       [](auto& d) { return orders(d, ";DATABASE=" + std::string(10000, 'x') + ".mdb"); },
       kAsks,
       {0, "does not exist"}},
      {"link row without a path",
       [](auto& d) {
         const std::string front = sound(d);
         testsupport::runSql(front, "UPDATE tblLinkedTables SET DatabasePath = NULL;");
         return front;
       },
       kAsks,
       {0, "Links: 2"}},
      {"two active sets",
       [](auto& d) {
         const std::string front = sound(d);
         testsupport::addLinkSet(front, "Second", "", true, {{"Orders", d.file("nowhere.mdb")}},
                                 front);
         return front;
       },
       kAsks,
       {0, "Second [active"}},
  };
  // Names that quoting, formats, terminals, JSON readers and statements trip over, given to the
  // front end, its folder, its back end and its link set.
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
    all.push_back({std::string("names with ") + label,
                   [name](auto& d) {
                     return sound(d, "App" + name + "/Front" + name + ".mdb",
                                  "Data" + name + "/Sales" + name + ".mdb", "Set" + name, name);
                   },
                   kSound, kOpens});
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
  const std::string before = treeSnapshot(dir.path());
  const bool isDatabase = c.check.exitCode != 2;
  std::vector<testsupport::LinkedDef> defs;
  std::vector<testsupport::LinkRow> rows;
  if (isDatabase) {
    defs = testsupport::linkedDefs(frontEnd);
    rows = testsupport::linkRows(frontEnd);
  }
  const auto expect = [&](const Result& r, const Expect& e, const std::string& what) {
    SCOPED_TRACE(what);
    if (e.exitCode == 2) {
      EXPECT_TRUE(failedWithOneLine(r, e.mention));
      EXPECT_EQ(treeSnapshot(dir.path()), before);
      return;
    }
    EXPECT_EQ(r.exitCode, e.exitCode) << r.err;
    EXPECT_EQ(r.err, "");
    if (e.mention.empty())
      EXPECT_EQ(r.out, "");
    else
      EXPECT_NE(r.out.find(e.mention), std::string::npos) << r.out.substr(0, 3000);
  };

  // The status reads; it never changes a byte.
  Expect status = c.status;
  if (status.exitCode == 2 && status.mention.empty())
    status.mention = c.check.mention;
  const Result text = run({"status", frontEnd});
  expect(text, status, "status");
  // A check that finds nothing to ask found every link working.
  if (c.check.exitCode == 0 && c.check.mention.empty()) {
    EXPECT_EQ(text.out.find("does not open"), std::string::npos) << text.out.substr(0, 3000);
  }
  EXPECT_EQ(treeSnapshot(dir.path()), before);
  const Result json = run({"status", "--json", frontEnd});
  if (status.exitCode == 0) {
    EXPECT_EQ(json.exitCode, 0) << json.err;
    EXPECT_NO_THROW(parseJson(json.out)) << json.out.substr(0, 3000);
  }
  EXPECT_EQ(treeSnapshot(dir.path()), before);

  Expect check = c.check;
  if (check.exitCode == 2 && check.mention.empty())
    check.mention = status.mention;
  expect(run({"check", "--ui=console", frontEnd}), check, "check");
  if (isDatabase) {
    EXPECT_EQ(withoutFile(treeSnapshot(dir.path()), dir.path(), frontEnd),
              withoutFile(before, dir.path(), frontEnd));
    EXPECT_EQ(testsupport::linkedDefs(frontEnd), defs);
    EXPECT_EQ(testsupport::linkRows(frontEnd), rows);
  }
}

INSTANTIATE_TEST_SUITE_P(Inputs, Hostile, ::testing::ValuesIn(cases()), [](const auto& info) {
  std::string name;
  for (char ch : info.param.name)
    name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
  return name;
});

}  // namespace
}  // namespace clitest
