// Value conversions: the rules callers rely on when they read fields as 16- or 32-bit numbers.
#include <gtest/gtest.h>

#include "dao/dao.h"
#include "tests/dao/temp_dir.h"

namespace dao {
namespace {

TEST(ValueTest, NullTextNumbersAndBooleansConvertOrFailWithANumber) {
  EXPECT_EQ(Value().AsInt32(), 0);
  EXPECT_EQ(Value(" 42 ").AsInt32(), 42);
  EXPECT_EQ(Value("2.5").AsInt64(), 2);  // halves round to even
  EXPECT_EQ(Value(3.5).AsInt64(), 4);
  // Booleans are -1 and 0.
  EXPECT_EQ(Value(true).AsInt32(), kTrue);
  EXPECT_TRUE(Value("True").AsBool());
  EXPECT_FALSE(Value("0").AsBool());
  // Overflows and type mismatches are numbered errors.
  EXPECT_DAO_ERROR(Value(2147483648LL).AsInt32(), kErrOverflow);
  EXPECT_DAO_ERROR(Value(1e300).AsInt64(), kErrOverflow);
  EXPECT_DAO_ERROR(Value("12abc").AsInt32(), kErrTypeMismatch);
  EXPECT_DAO_ERROR(Value("inf").AsDouble(), kErrTypeMismatch);
  EXPECT_DAO_ERROR(Value("maybe").AsBool(), kErrTypeMismatch);
}

}  // namespace
}  // namespace dao
