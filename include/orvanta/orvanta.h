/* The Vantrel component for any language: a C interface over orvanta::clsOrvanta.
 *
 * A host creates one component per user-interface thread with orvanta_create, naming the window
 * driver, and calls the members through it. Each member means what the C++ class's member of
 * the same name means (orvanta/clsOrvanta.h). Booleans are int: 1 for true, 0 for false.
 *
 * Every call returns an orvanta_error; ORVANTA_OK is 0. A call that fails leaves its out
 * arguments untouched and keeps a one-line message that orvanta_last_error returns. No C++
 * exception ever leaves a call.
 *
 * Text arguments are NUL-terminated UTF-8 (paths included); anything else is refused with
 * ORVANTA_ERROR_INVALID_UTF8 before the component sees it. A front_end_path must name an existing
 * database file, or the call fails with ORVANTA_ERROR_FRONT_END before any window opens; it is
 * made absolute, as the vantrel program does, since the component records it to notice a moved
 * front end. Text results are allocated for the
 * caller, who releases them with orvanta_free.
 *
 * Threads: the component's state (the front end, its active link set, the four permissions) is
 * kept per thread, and its windows are modal windows of the thread that shows them. A handle may
 * therefore only be used, and destroyed, on the thread that created it; a call from any other
 * thread fails with ORVANTA_ERROR_WRONG_THREAD and changes nothing. Handles created on one thread
 * share that thread's state, as C++ instances do. Components on different threads work apart,
 * each with its own state, and may be called at the same time; the "qt" driver, as Qt itself,
 * only on the thread that runs the application's windows. A handle is invalid once destroyed: a
 * call with it fails with ORVANTA_ERROR_INVALID_HANDLE (handles are never reused).
 */
#ifndef ORVANTA_ORVANTA_H
#define ORVANTA_ORVANTA_H

#ifdef __cplusplus
extern "C" {
#endif

/* One component instance; opaque. */
typedef struct orvanta_component orvanta_component;

typedef enum orvanta_error {
  ORVANTA_OK = 0,
  ORVANTA_ERROR_NULL_ARGUMENT = 1,    /* a required pointer argument is NULL */
  ORVANTA_ERROR_INVALID_UTF8 = 2,     /* a text argument is not UTF-8 */
  ORVANTA_ERROR_INVALID_ARGUMENT = 3, /* an argument has no meaning here (an unknown driver) */
  ORVANTA_ERROR_INVALID_HANDLE = 4,   /* not a live handle: destroyed, or never created */
  ORVANTA_ERROR_WRONG_THREAD = 5,     /* the handle belongs to another thread */
  ORVANTA_ERROR_DRIVER = 6,           /* the window driver cannot start or show a window */
  ORVANTA_ERROR_FRONT_END = 7,        /* the front end is missing, no database or cannot be read */
  ORVANTA_ERROR_READ_ONLY = 8,        /* the front end is read-only: the user was told, and
                                         nothing was changed */
  ORVANTA_ERROR_DATABASE = 9,         /* the database engine failed; the message has its number */
  ORVANTA_ERROR_OUT_OF_MEMORY = 10,
  ORVANTA_ERROR_INTERNAL = 11 /* anything else; the message says what */
} orvanta_error;

/* The library's version, "MAJOR.MINOR". */
const char* orvanta_version(void);

/* The message of the calling thread's last failed call; "" after a call that succeeded. Valid
 * until the thread's next call. */
const char* orvanta_last_error(void);

/* Creates a component on the calling thread. driver: "auto" (the desktop windows when a display
 * is there, else the console), "qt" or "console" (windows printed on stdout, commands read from
 * stdin). Applies the default permissions (all allowed) the first time on a thread. */
orvanta_error orvanta_create(const char* driver, orvanta_component** component);
orvanta_error orvanta_destroy(orvanta_component* component);

/* SetConfiguration: the four permissions; *result is 1. */
orvanta_error orvanta_set_configuration(orvanta_component* component, int allow_set_switching,
                                        int allow_path_change, int allow_add_tables,
                                        int allow_set_mgmt, int* result);
/* CheckLinkedTables: the start-up check of the front end at front_end_path. *result is 1
 * when the user chose to ignore the problem, 0 otherwise. A read-only front end fails with
 * ORVANTA_ERROR_READ_ONLY after the user was told. */
orvanta_error orvanta_check_linked_tables(orvanta_component* component, const char* front_end_path,
                                          int* result);
/* OpenSetManager and OpenSwitchSetManager: show the window; *result is 0, as the members'. */
orvanta_error orvanta_open_set_manager(orvanta_component* component, const char* front_end_path,
                                       int* result);
orvanta_error orvanta_open_switch_set_manager(orvanta_component* component, int* result);
/* DatabasePath, ActiveLinkSet, LinkSetDescription: *text is set to a new string ("" when there
 * is no active set), which the caller releases with orvanta_free. */
orvanta_error orvanta_database_path(orvanta_component* component, char** text);
orvanta_error orvanta_active_link_set(orvanta_component* component, char** text);
orvanta_error orvanta_link_set_description(orvanta_component* component, char** text);
/* OpenRelinkManager: the expert's one-window repair; *result is 1 when every link of the active
 * set opens at the end. A read-only front end fails as in orvanta_check_linked_tables. */
orvanta_error orvanta_open_relink_manager(orvanta_component* component, const char* front_end_path,
                                          int* all_links_open);

/* The read-only status report of a front end, the JSON that `vantrel status --json` prints; the
 * file is not changed. Needs no component. *json is released with orvanta_free. */
orvanta_error orvanta_status_json(const char* front_end_path, char** json);

/* Releases a text result; NULL is ignored. */
void orvanta_free(char* text);

#ifdef __cplusplus
}
#endif

#endif /* ORVANTA_ORVANTA_H */
