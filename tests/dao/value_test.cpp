// Value conversions: the rules callers rely on when they read fields as 16- or 32-bit numbers.
#include <gtest/gtest.h>

#include "dao/dao.h"

namespace dao {
namespace {

int ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const Error& e) {
    return e.Number();
  }
  return 0;
}

TEST(ValueTest, NullTextAndNumbersConvert) {
  EXPECT_EQ(Value().AsString(), "");
  EXPECT_EQ(Value().AsInt32(), 0);
  EXPECT_EQ(Value(" 42 ").AsInt32(), 42);
  EXPECT_EQ(Value("2.5").AsInt64(), 2);  // halves round to even
  EXPECT_EQ(Value(3.5).AsInt64(), 4);
  EXPECT_EQ(Value(7).AsString(), "7");
  EXPECT_EQ(Value(0.25).AsString(), "0.25");
  EXPECT_DOUBLE_EQ(Value("1e3").AsDouble(), 1000.0);
}

TEST(ValueTest, BooleansAreMinusOneAndZero) {
  EXPECT_EQ(Value(true).AsInt32(), kTrue);
  EXPECT_EQ(Value::Boolean(false).AsInt32(), kFalse);
  EXPECT_TRUE(Value("True").AsBool());
  EXPECT_FALSE(Value("0").AsBool());
  EXPECT_TRUE(Value(-1).AsBool());
}

TEST(ValueTest, OverflowAndTypeMismatchAreNumbered) {
  EXPECT_EQ(ErrorOf([] { Value(2147483648LL).AsInt32(); }), kErrOverflow);
  EXPECT_EQ(ErrorOf([] { Value(-2147483649.0).AsInt32(); }), kErrOverflow);
  EXPECT_EQ(ErrorOf([] { Value(1e300).AsInt64(); }), kErrOverflow);
  EXPECT_EQ(ErrorOf([] { Value("12abc").AsInt32(); }), kErrTypeMismatch);
  EXPECT_EQ(ErrorOf([] { Value("").AsDouble(); }), kErrTypeMismatch);
  EXPECT_EQ(ErrorOf([] { Value("inf").AsDouble(); }), kErrTypeMismatch);
  EXPECT_EQ(ErrorOf([] { Value("maybe").AsBool(); }), kErrTypeMismatch);
}

TEST(ValueTest, EqualityComparesKindAndValue) {
  EXPECT_EQ(Value(1), Value(1.0));
  EXPECT_FALSE(Value("1") == Value(1));
  EXPECT_EQ(Value(), Value());
  EXPECT_FALSE(Value() == Value(0));
}

}  // namespace
}  // namespace dao
