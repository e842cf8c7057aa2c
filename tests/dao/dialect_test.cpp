// Translation of the desktop-database dialect, case by case, and the quoting helpers.
#include <gtest/gtest.h>

#include "dao/dao.h"
#include "dao/internal.h"

namespace dao::detail {
namespace {

struct Case {
  const char* input;
  const char* expected;
};

TEST(DialectTest, TranslatesTheFormsSqliteRefuses) {
  const Case cases[] = {
      // DELETE * FROM
      {"DELETE * FROM tblLinkedSets WHERE Name='Office'",
       "DELETE FROM tblLinkedSets WHERE Name='Office'"},
      {"DELETE DISTINCTROW * FROM t", "DELETE FROM t"},
      // DELETE t.* FROM a join: the rows of t the join selects
      {"DELETE tblLinkedTables.* FROM tblLinkedSets INNER JOIN tblLinkedTables ON "
       "tblLinkedSets.ID = tblLinkedTables.LinkSetID WHERE (((Name)='x') AND ((TableName)='y'))",
       "DELETE FROM tblLinkedTables WHERE rowid IN (SELECT tblLinkedTables.rowid FROM "
       "tblLinkedSets INNER JOIN tblLinkedTables ON tblLinkedSets.ID = tblLinkedTables.LinkSetID "
       "WHERE (((Name)='x') AND ((TableName)='y')))"},
      {"DELETE [b].* FROM a INNER JOIN [b] ON a.k = b.k;",
       "DELETE FROM [b] WHERE rowid IN (SELECT [b].rowid FROM a INNER JOIN [b] ON a.k = b.k)"},
      {"DELETE x.* FROM a INNER JOIN Links AS x ON a.k = x.k",
       "DELETE FROM Links WHERE rowid IN (SELECT x.rowid FROM a INNER JOIN Links AS x ON a.k = "
       "x.k)"},
      // Text, Booleans, concatenation, wildcards
      {"SELECT * FROM t WHERE a = \"it's\"", "SELECT * FROM t WHERE a = 'it''s'"},
      {"SELECT * FROM t WHERE ActiveSet=True OR b = false",
       "SELECT * FROM t WHERE ActiveSet=-1 OR b = 0"},
      {"SELECT t.True, [True] FROM t", "SELECT t.True, [True] FROM t"},
      {"SELECT a & 'x' FROM t", "SELECT a || 'x' FROM t"},
      {"SELECT * FROM t WHERE a LIKE 'Off*ce?'", "SELECT * FROM t WHERE a LIKE 'Off%ce_'"},
      // Left alone: quoted text, brackets, comments, ordinary statements
      {"SELECT * FROM [Order Details] WHERE n='DELETE * FROM x' -- True",
       "SELECT * FROM [Order Details] WHERE n='DELETE * FROM x' -- True"},
      {"SELECT * FROM [a]]b]", "SELECT * FROM \"a]b\""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TranslateStatement(c.input), c.expected) << c.input;
}

TEST(DialectTest, QuotesNamesAndRecognisesShapes) {
  EXPECT_EQ(QuoteText("O'Brien's"), "'O''Brien''s'");
  EXPECT_EQ(TranslateStatement("SELECT * FROM " + BracketName("x]y")), "SELECT * FROM \"x]y\"");
  EXPECT_FALSE(HasAggregateShape("SELECT Count, Name FROM t"));  // a field named Count
  EXPECT_FALSE(BareTableName("SELECT"));
  EXPECT_EQ(FileUri("/a b/c?d#e%.mdb", true), "file:///a%20b/c%3Fd%23e%25.mdb?mode=ro");
}

}  // namespace
}  // namespace dao::detail
