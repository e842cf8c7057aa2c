// The C interface at its boundary: every bad argument, dead handle and foreign thread gets its
// own error code and a message instead of a crash, and good calls reach the component.
#include "orvanta/orvanta.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/Fixtures.h"

namespace {

using Call = std::function<orvanta_error(orvanta_component*)>;

struct NamedCall {
  const char* name;
  Call call;
};

class CApiTest : public testing::Test {
 protected:
  void SetUp() override {
    // The console driver reads standard input: at its end a message box takes its default
    // answer, so no case ever waits on a terminal.
    const int null = ::open("/dev/null", O_RDONLY);
    ::dup2(null, STDIN_FILENO);
    ::close(null);
    testsupport::makeBackEnd(backEnd, {"Customers"});
    testsupport::makeFrontEnd(frontEnd);
    testsupport::linkTable(frontEnd, "Customers", backEnd);
    testsupport::addLinkSet(frontEnd, "Office", "Sales", true, {{"Customers", backEnd}}, frontEnd);
    ASSERT_EQ(orvanta_create("console", &component), ORVANTA_OK) << orvanta_last_error();
  }
  void TearDown() override { orvanta_destroy(component); }

  // Every call that takes a component, its other arguments good.
  std::vector<NamedCall> componentCalls() {
    const char* fe = frontEnd.c_str();
    int* r = &result;
    const auto text = [](orvanta_error (*get)(orvanta_component*, char**)) {
      return [get](orvanta_component* c) {
        char* t = nullptr;
        const orvanta_error e = get(c, &t);
        orvanta_free(t);
        return e;
      };
    };
    return {
        {"check", [=](auto* c) { return orvanta_check_linked_tables(c, fe, r); }},
        {"configure", [=](auto* c) { return orvanta_set_configuration(c, 1, 0, 1, 0, r); }},
        {"set manager", [=](auto* c) { return orvanta_open_set_manager(c, fe, r); }},
        {"switch", [=](auto* c) { return orvanta_open_switch_set_manager(c, r); }},
        {"relink", [=](auto* c) { return orvanta_open_relink_manager(c, fe, r); }},
        {"database path", text(orvanta_database_path)},
        {"active set", text(orvanta_active_link_set)},
        {"description", text(orvanta_link_set_description)},
        {"destroy", orvanta_destroy},
    };
  }

  testsupport::TempDir dir;
  std::string backEnd = dir.file("Data/Sales.mdb");
  std::string frontEnd = dir.file("Front.mdb");
  orvanta_component* component = nullptr;
  int result = 0;  // where the calls of componentCalls() answer
};

TEST_F(CApiTest, DeadHandlesAreRefused) {
  ASSERT_EQ(orvanta_destroy(component), ORVANTA_OK);
  orvanta_component* neverMade = reinterpret_cast<orvanta_component*>(0x7fff0000);
  for (orvanta_component* dead : {component, neverMade}) {
    for (const auto& [name, call] : componentCalls()) {
      EXPECT_EQ(call(dead), ORVANTA_ERROR_INVALID_HANDLE) << name;
      EXPECT_STRNE(orvanta_last_error(), "") << name;
    }
  }
}

TEST_F(CApiTest, AHandleServesOnlyTheThreadThatMadeIt) {
  int ignored = 0;
  ASSERT_EQ(orvanta_check_linked_tables(component, frontEnd.c_str(), &ignored), ORVANTA_OK);
  std::thread other([&] {
    for (const auto& [name, call] : componentCalls()) {
      EXPECT_EQ(call(component), ORVANTA_ERROR_WRONG_THREAD) << name;
      EXPECT_STRNE(orvanta_last_error(), "") << name;
    }
    // Its own component works, on a state of its own: this thread has checked nothing.
    orvanta_component* own = nullptr;
    char* set = nullptr;
    ASSERT_EQ(orvanta_create("console", &own), ORVANTA_OK);
    EXPECT_EQ(orvanta_active_link_set(own, &set), ORVANTA_OK);
    EXPECT_STREQ(set, "");
    orvanta_free(set);
    EXPECT_EQ(orvanta_destroy(own), ORVANTA_OK);
  });
  other.join();
  // Neither used nor destroyed by the other thread.
  char* set = nullptr;
  ASSERT_EQ(orvanta_active_link_set(component, &set), ORVANTA_OK);
  EXPECT_STREQ(set, "Office");
  orvanta_free(set);
}

// The members that take a front end share one argument check, tried here through the check;
// which files are no front end is the program's end-to-end tests'.
TEST_F(CApiTest, BadArgumentsHaveTheirOwnCodes) {
  const char* fe = frontEnd.c_str();
  const char* badUtf8 = "/tmp/\xc3\x28.mdb";
  int r = 7;
  char* t = nullptr;
  orvanta_component* made = nullptr;
  ::unsetenv("DISPLAY");
  ::unsetenv("WAYLAND_DISPLAY");
  orvanta_component* co = component;
  const char* none = "/none/such.mdb";
  const orvanta_error kNull = ORVANTA_ERROR_NULL_ARGUMENT, kUtf8 = ORVANTA_ERROR_INVALID_UTF8;
  const struct {
    const char* name;
    orvanta_error expected;
    std::function<orvanta_error()> call;
  } cases[] = {
      {"no driver", kNull, [&] { return orvanta_create(nullptr, &made); }},
      {"no handle out", kNull, [&] { return orvanta_create("auto", nullptr); }},
      {"null handle", kNull, [&] { return orvanta_check_linked_tables(nullptr, fe, &r); }},
      {"no path", kNull, [&] { return orvanta_check_linked_tables(co, nullptr, &r); }},
      {"no result", kNull, [&] { return orvanta_check_linked_tables(co, fe, nullptr); }},
      {"no configure result", kNull,
       [&] { return orvanta_set_configuration(co, 1, 1, 1, 1, nullptr); }},
      {"no switch result", kNull, [&] { return orvanta_open_switch_set_manager(co, nullptr); }},
      {"no text out", kNull, [&] { return orvanta_database_path(co, nullptr); }},
      {"no status path", kNull, [&] { return orvanta_status_json(nullptr, &t); }},
      {"no status out", kNull, [&] { return orvanta_status_json(fe, nullptr); }},
      {"driver not UTF-8", kUtf8, [&] { return orvanta_create("\xff", &made); }},
      {"check path not UTF-8", kUtf8, [&] { return orvanta_check_linked_tables(co, badUtf8, &r); }},
      {"status path not UTF-8", kUtf8, [&] { return orvanta_status_json(badUtf8, &t); }},
      {"unknown driver", ORVANTA_ERROR_INVALID_ARGUMENT,
       [&] { return orvanta_create("windows", &made); }},
      {"qt without a display", ORVANTA_ERROR_DRIVER, [&] { return orvanta_create("qt", &made); }},
      {"status of a missing file", ORVANTA_ERROR_FRONT_END,
       [&] { return orvanta_status_json(none, &t); }},
      {"check of a missing file", ORVANTA_ERROR_FRONT_END,
       [&] { return orvanta_check_linked_tables(co, none, &r); }},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.call(), c.expected) << c.name;
    EXPECT_STRNE(orvanta_last_error(), "") << c.name;
  }
  // A failed call leaves its out arguments alone.
  EXPECT_EQ(r, 7);
  EXPECT_EQ(t, nullptr);
  EXPECT_EQ(made, nullptr);
}

TEST_F(CApiTest, CallsReachTheComponent) {
  int ignored = 7;
  ASSERT_EQ(orvanta_check_linked_tables(component, frontEnd.c_str(), &ignored), ORVANTA_OK);
  EXPECT_EQ(ignored, 0);
  EXPECT_STREQ(orvanta_last_error(), "");
  const struct {
    orvanta_error (*get)(orvanta_component*, char**);
    std::string expected;
  } texts[] = {{orvanta_active_link_set, "Office"},
               {orvanta_link_set_description, "Sales"},
               {orvanta_database_path, backEnd}};
  for (const auto& [get, expected] : texts) {
    char* text = nullptr;
    ASSERT_EQ(get(component, &text), ORVANTA_OK);
    EXPECT_EQ(text, expected);
    orvanta_free(text);
  }
  char* json = nullptr;
  ASSERT_EQ(orvanta_status_json(frontEnd.c_str(), &json), ORVANTA_OK) << orvanta_last_error();
  EXPECT_NE(std::string(json).find("\"opens\": true"), std::string::npos) << json;
  orvanta_free(json);
}

TEST_F(CApiTest, ReadOnlyFrontEndIsNotReportedAsSuccess) {
  ASSERT_EQ(::chmod(frontEnd.c_str(), 0444), 0);
  for (const auto& call : {orvanta_check_linked_tables, orvanta_open_relink_manager}) {
    int result = 7;
    EXPECT_EQ(call(component, frontEnd.c_str(), &result), ORVANTA_ERROR_READ_ONLY);
    EXPECT_NE(std::string(orvanta_last_error()).find("read-only"), std::string::npos);
    EXPECT_EQ(result, 7);
  }
}

}  // namespace
