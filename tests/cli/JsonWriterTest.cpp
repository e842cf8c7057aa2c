// The status report's JSON writer: every string survives a round trip through a strict reader,
// whatever bytes a file name holds, and nesting produces well-formed documents.
#include <gtest/gtest.h>

#include "cli/Json.h"
#include "tests/cli/JsonReader.h"

namespace clitest {
namespace {

using vantrel::jsonQuote;
using vantrel::JsonWriter;

std::string roundTrip(const std::string& text) {
  return parseJson(jsonQuote(text)).text;
}

TEST(JsonWriter, StringsRoundTripThroughAStrictReader) {
  const std::string cases[] = {
      "",
      "plain",
      "quote \" and backslash \\",
      "C:\\App\\Data\\Be.mdb",
      "line\r\nbreak\ttab\bback\fform",
      std::string("nul \0 inside", 12),
      "\x01\x1f\x7f",
      "naïve – 日本語 – 🙂",
      "</script>",
  };
  for (const auto& text : cases) {
    EXPECT_EQ(roundTrip(text), text) << jsonQuote(text);
  }
}

TEST(JsonWriter, BytesThatAreNotUtf8BecomeReplacementCharacters) {
  const std::string replacement = "\xEF\xBF\xBD";
  const struct {
    std::string in;
    std::string out;
  } cases[] = {
      {"a\xFFz", "a" + replacement + "z"},
      {"\xC3", replacement},                                      // truncated sequence
      {"\xC0\xAF", replacement + replacement},                    // overlong '/'
      {"\xED\xA0\x80", replacement + replacement + replacement},  // surrogate
      {"\xF4\x90\x80\x80", replacement + replacement + replacement + replacement},  // > U+10FFFF
      {"ok\xE2\x82", "ok" + replacement + replacement},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(roundTrip(c.in), c.out) << jsonQuote(c.in);
  }
}

TEST(JsonWriter, NestedDocumentsAreWellFormed) {
  JsonWriter json;
  json.beginObject();
  json.key("empty object");
  json.beginObject();
  json.endObject();
  json.key("empty array");
  json.beginArray();
  json.endArray();
  json.key("list");
  json.beginArray();
  json.value(1);
  json.value(-9007199254740991LL);
  json.value(true);
  json.null();
  json.beginObject();
  json.key("k\"ey");
  json.value("v");
  json.endObject();
  json.endArray();
  json.endObject();

  const Json doc = parseJson(json.str());
  EXPECT_EQ(doc["empty object"].type, Json::Type::Object);
  EXPECT_EQ(doc["empty object"].size(), 0u);
  EXPECT_EQ(doc["empty array"].size(), 0u);
  const Json& list = doc["list"];
  ASSERT_EQ(list.size(), 5u);
  EXPECT_EQ(list[0].number, 1);
  EXPECT_EQ(list[1].number, -9007199254740991.0);
  EXPECT_TRUE(list[2].boolean);
  EXPECT_EQ(list[3].type, Json::Type::Null);
  EXPECT_EQ(list[4]["k\"ey"].text, "v");
  EXPECT_EQ(json.str().back(), '\n');
}

TEST(JsonWriter, ATopLevelScalarIsADocumentToo) {
  JsonWriter json;
  json.value("alone");
  EXPECT_EQ(json.str(), "\"alone\"\n");
}

}  // namespace
}  // namespace clitest
