// The component's one public class. A host application creates it at start-up, may configure it
// with SetConfiguration, and calls CheckLinkedTables with its own path; later it may open the Set
// Manager or the Switch Set Manager and read the active link set's name, description and back
// end. Instances carry no state of their own: everything lives in a per-thread component state,
// so every instance on a thread sees the same active set, paths and permissions.
//
// All members run on the host's user-interface thread and show modal windows through the
// thread's uikit desktop (uikit/desktop.h), which the host sets up first (orvanta/Driver.h).
// Hosts in other languages reach the same members through orvanta/orvanta.h.
#pragma once

#include <cstdint>
#include <string>

namespace orvanta {

class clsOrvanta {
 public:
  // Class_Initialize: gives the four permissions their defaults (all true), once per thread.
  clsOrvanta();
  ~clsOrvanta() = default;

  // Sets the current front-end path, loads the active set and shows the Set Manager. Returns
  // false (no value is ever assigned to the result).
  bool OpenSetManager(std::string strCurrentFEPath);
  // The active set's back-end path ("" when there is no active set or it has no links).
  std::string DatabasePath() const;
  std::string ActiveLinkSet() const;
  std::string LinkSetDescription() const;
  // Copies the four permissions into the component state and returns true; the arguments are
  // left as they were.
  bool SetConfiguration(bool& bolAllowSetSwitching, bool& bolAllowPathChange,
                        bool& bolAllowAddTables, bool& bolAllowSetMgmt);
  // The start-up check: 1 when the user chose to ignore the problem, 0 otherwise.
  std::int16_t CheckLinkedTables(std::string strCurrentFEPath);
  // Shows the Switch Set Manager with whatever state an earlier call left. Returns false.
  bool OpenSwitchSetManager();
};

// The Relink Manager, the expert's one-window alternative to the Relink Wizard. Loads the
// active set of strCurrentFEPath as CheckLinkedTables does, tests each of its links, and shows
// the window with the status of every link, the first failed back end and scored candidates.
// After each relink made in the window the links are tested again and the window comes back;
// it ends when the user leaves with Done. With no active set it says so and opens the Set
// Manager instead; a read-only front end is refused with a message (and the component state's
// frontEndReadOnly flag). Returns true when every link of the active set opens at the end.
bool OpenRelinkManager(const std::string& strCurrentFEPath);

}  // namespace orvanta
