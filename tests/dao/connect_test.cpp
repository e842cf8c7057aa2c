// Connect strings: the back-end path is the DATABASE part, every other part survives a rewrite,
// and no password is ever shown.
#include <gtest/gtest.h>

#include "dao/connect.h"

namespace dao {
namespace {

TEST(ConnectString, ReadsRewritesAndShowsEachForm) {
  struct Case {
    const char* connect;
    const char* database;
    const char* rewritten;  // with DATABASE set to /new.mdb
    const char* shown;
  };
  const Case cases[] = {
      {";DATABASE=/a.mdb", "/a.mdb", ";DATABASE=/new.mdb", ";DATABASE=/a.mdb"},
      {";DATABASE=x;PWD=y", "x", ";DATABASE=/new.mdb;PWD=y", ";DATABASE=x;PWD=*****"},
      {";pwd = y;database=C:\\x.mdb", "C:\\x.mdb", ";pwd = y;database=/new.mdb",
       ";pwd =*****;database=C:\\x.mdb"},
      // A piece that is not name=value belongs to the part before it: paths may hold ";".
      {";DATABASE=/srv/a;b.mdb;PWD=p;q", "/srv/a;b.mdb", ";DATABASE=/new.mdb;PWD=p;q",
       ";DATABASE=/srv/a;b.mdb;PWD=*****"},
      {"MS Access;DATABASE=/a.mdb;", "/a.mdb", "MS Access;DATABASE=/new.mdb;",
       "MS Access;DATABASE=/a.mdb;"},
      {"/bare.mdb", "", "/bare.mdb;DATABASE=/new.mdb", "/bare.mdb"},
      {"", "", ";DATABASE=/new.mdb", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.connect);
    EXPECT_EQ(ConnectDatabase(c.connect), c.database);
    EXPECT_EQ(ConnectWithDatabase(c.connect, "/new.mdb"), c.rewritten);
    EXPECT_EQ(ShownConnect(c.connect), c.shown);
  }
}

}  // namespace
}  // namespace dao
