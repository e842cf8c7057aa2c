// The C interface: each call checks its arguments, finds its component, makes the component's
// desktop current for the length of the call and forwards to clsOrvanta; every exception is
// turned into an error code and a message here, at the boundary.
#include "orvanta/orvanta.h"

#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>
#include <string>
#include <string_view>

#include "capi/Handles.h"
#include "dao/dao.h"
#include "engine/ComponentState.h"
#include "host/FrontEndFile.h"
#include "host/HostError.h"
#include "host/StatusReport.h"
#include "orvanta/Driver.h"
#include "uikit/printable.h"

#ifndef ORVANTA_VERSION
#define ORVANTA_VERSION "unknown"
#endif

namespace {

using orvanta::capi::Component;

thread_local std::string lastError;

orvanta_error fail(orvanta_error code, std::string message) {
  lastError = std::move(message);
  return code;
}

// Runs body, turning what it throws into a code; a HostError gets hostCode, since what it means
// (a driver that cannot start, a front end that cannot be read) depends on the call.
template <class Body>
orvanta_error guarded(orvanta_error hostCode, Body&& body) noexcept {
  lastError.clear();
  try {
    return body();
  } catch (const orvanta::HostError& e) {
    return fail(hostCode, e.what());
  } catch (const dao::Error& e) {
    return fail(ORVANTA_ERROR_DATABASE,
                e.Description() + " (error " + std::to_string(e.Number()) + ")");
  } catch (const std::bad_alloc&) {
    return fail(ORVANTA_ERROR_OUT_OF_MEMORY, "out of memory");
  } catch (const std::exception& e) {
    return fail(ORVANTA_ERROR_INTERNAL, e.what());
  } catch (...) {
    return fail(ORVANTA_ERROR_INTERNAL, "unexpected failure");
  }
}

orvanta_error checkPointer(const void* pointer, const char* name) {
  if (pointer == nullptr)
    return fail(ORVANTA_ERROR_NULL_ARGUMENT, std::string(name) + " is NULL");
  return ORVANTA_OK;
}

orvanta_error checkText(const char* text, const char* name) {
  if (const orvanta_error e = checkPointer(text, name))
    return e;
  const std::string_view view(text);
  char32_t code = 0;
  for (std::size_t i = 0; i < view.size();) {
    const std::size_t length = uikit::utf8SequenceAt(view, i, code);
    if (length == 0)
      return fail(ORVANTA_ERROR_INVALID_UTF8,
                  std::string(name) + " is not UTF-8 (byte " + std::to_string(i) + ")");
    i += length;
  }
  return ORVANTA_OK;
}

orvanta_error copyOut(const std::string& text, char** out) {
  char* copy = static_cast<char*>(std::malloc(text.size() + 1));
  if (copy == nullptr)
    return fail(ORVANTA_ERROR_OUT_OF_MEMORY, "out of memory");
  std::memcpy(copy, text.c_str(), text.size() + 1);
  *out = copy;
  return ORVANTA_OK;
}

// Runs call with handle's component, its desktop current, once the handle is known to be live
// and the calling thread's.
template <class Call>
orvanta_error withComponent(orvanta_component* handle, Call&& call) noexcept {
  return guarded(ORVANTA_ERROR_DRIVER, [&]() -> orvanta_error {
    if (const orvanta_error e = checkPointer(handle, "component"))
      return e;
    orvanta_error error = ORVANTA_OK;
    Component* component = orvanta::capi::findHandle(handle, error);
    if (component == nullptr)
      return fail(error, error == ORVANTA_ERROR_WRONG_THREAD
                             ? "the component belongs to another thread"
                             : "not a live component (destroyed, or never created)");
    uikit::ScopedDesktop scope(*component->desktop);
    return call(*component);
  });
}

// The front end as vantrel takes it: absolute, since the component records the path to notice a
// moved front end, and known to be a database file, so that a wrong path is this call's error
// rather than an engine error box followed by a result that looks like success.
orvanta_error frontEndAt(const char* path, std::string& absolute) {
  try {
    absolute = vantrel::requireFrontEnd(path);
  } catch (const orvanta::HostError& e) {
    return fail(ORVANTA_ERROR_FRONT_END, e.what());
  }
  return ORVANTA_OK;
}

// A read-only front end: the component has told the user and changed nothing, which the caller
// must not mistake for a check that went well.
orvanta_error readOnlyRefusal(const std::string& frontEnd) {
  if (!orvanta::state().frontEndReadOnly)
    return ORVANTA_OK;
  return fail(ORVANTA_ERROR_READ_ONLY, frontEnd + ": the front end is read-only");
}

template <class Getter>
orvanta_error textMember(orvanta_component* handle, char** text, Getter&& get) noexcept {
  return withComponent(handle, [&](Component& c) -> orvanta_error {
    if (const orvanta_error e = checkPointer(text, "text"))
      return e;
    return copyOut(get(c.instance), text);
  });
}

// A member that takes a front end and answers with an int: the arguments checked, the path taken
// as vantrel takes it, and (for the members that may write) a read-only front end reported as
// this call's error rather than as the member's plain answer.
template <class Member>
orvanta_error frontEndMember(orvanta_component* handle, const char* frontEndPath, int* result,
                             const char* resultName, bool writes, Member&& member) noexcept {
  return withComponent(handle, [&](Component& c) -> orvanta_error {
    if (const orvanta_error e = checkText(frontEndPath, "front_end_path"))
      return e;
    if (const orvanta_error e = checkPointer(result, resultName))
      return e;
    std::string frontEnd;
    if (const orvanta_error e = frontEndAt(frontEndPath, frontEnd))
      return e;
    const int answer = member(c, frontEnd);
    if (writes)
      if (const orvanta_error e = readOnlyRefusal(frontEnd))
        return e;
    *result = answer;
    return ORVANTA_OK;
  });
}

}  // namespace

extern "C" {

const char* orvanta_version(void) {
  return ORVANTA_VERSION;
}

const char* orvanta_last_error(void) {
  return lastError.c_str();
}

orvanta_error orvanta_create(const char* driver, orvanta_component** component) {
  return guarded(ORVANTA_ERROR_DRIVER, [&]() -> orvanta_error {
    if (const orvanta_error e = checkText(driver, "driver"))
      return e;
    if (const orvanta_error e = checkPointer(component, "component"))
      return e;
    const auto chosen = orvanta::driverNamed(driver);
    if (!chosen)
      return fail(ORVANTA_ERROR_INVALID_ARGUMENT,
                  "unknown driver \"" + uikit::printable(driver) + "\" (auto, qt or console)");
    auto made = std::make_unique<Component>();
    made->desktop = orvanta::makeDesktop(*chosen, made->argc, made->argv);
    *component = orvanta::capi::addHandle(std::move(made));
    return ORVANTA_OK;
  });
}

orvanta_error orvanta_destroy(orvanta_component* component) {
  // Checked as every call is, so another thread's handle is refused and left alive.
  if (const orvanta_error e = withComponent(component, [](Component&) { return ORVANTA_OK; }))
    return e;
  return guarded(ORVANTA_ERROR_INTERNAL, [&] {
    orvanta::capi::removeHandle(component).reset();
    return ORVANTA_OK;
  });
}

orvanta_error orvanta_set_configuration(orvanta_component* component, int allow_set_switching,
                                        int allow_path_change, int allow_add_tables,
                                        int allow_set_mgmt, int* result) {
  return withComponent(component, [&](Component& c) -> orvanta_error {
    if (const orvanta_error e = checkPointer(result, "result"))
      return e;
    bool switching = allow_set_switching != 0;
    bool pathChange = allow_path_change != 0;
    bool addTables = allow_add_tables != 0;
    bool setMgmt = allow_set_mgmt != 0;
    *result = c.instance.SetConfiguration(switching, pathChange, addTables, setMgmt) ? 1 : 0;
    return ORVANTA_OK;
  });
}

orvanta_error orvanta_check_linked_tables(orvanta_component* component, const char* front_end_path,
                                          int* result) {
  return frontEndMember(component, front_end_path, result, "result", true,
                        [](Component& c, const std::string& frontEnd) {
                          return c.instance.CheckLinkedTables(frontEnd) == 0 ? 0 : 1;
                        });
}

orvanta_error orvanta_open_set_manager(orvanta_component* component, const char* front_end_path,
                                       int* result) {
  return frontEndMember(component, front_end_path, result, "result", false,
                        [](Component& c, const std::string& frontEnd) {
                          return c.instance.OpenSetManager(frontEnd) ? 1 : 0;
                        });
}

orvanta_error orvanta_open_switch_set_manager(orvanta_component* component, int* result) {
  return withComponent(component, [&](Component& c) -> orvanta_error {
    if (const orvanta_error e = checkPointer(result, "result"))
      return e;
    *result = c.instance.OpenSwitchSetManager() ? 1 : 0;
    return ORVANTA_OK;
  });
}

orvanta_error orvanta_database_path(orvanta_component* component, char** text) {
  return textMember(component, text, [](const orvanta::clsOrvanta& o) { return o.DatabasePath(); });
}

orvanta_error orvanta_active_link_set(orvanta_component* component, char** text) {
  return textMember(component, text,
                    [](const orvanta::clsOrvanta& o) { return o.ActiveLinkSet(); });
}

orvanta_error orvanta_link_set_description(orvanta_component* component, char** text) {
  return textMember(component, text,
                    [](const orvanta::clsOrvanta& o) { return o.LinkSetDescription(); });
}

orvanta_error orvanta_open_relink_manager(orvanta_component* component, const char* front_end_path,
                                          int* all_links_open) {
  return frontEndMember(component, front_end_path, all_links_open, "all_links_open", true,
                        [](Component&, const std::string& frontEnd) {
                          return orvanta::OpenRelinkManager(frontEnd) ? 1 : 0;
                        });
}

orvanta_error orvanta_status_json(const char* front_end_path, char** json) {
  return guarded(ORVANTA_ERROR_INTERNAL, [&]() -> orvanta_error {
    if (const orvanta_error e = checkText(front_end_path, "front_end_path"))
      return e;
    if (const orvanta_error e = checkPointer(json, "json"))
      return e;
    std::string frontEnd;
    if (const orvanta_error e = frontEndAt(front_end_path, frontEnd))
      return e;
    const vantrel::Status status = vantrel::readStatus(frontEnd);
    return copyOut(vantrel::formatStatusJson(status), json);
  });
}

void orvanta_free(char* text) {
  std::free(text);
}

}  // extern "C"
