// Common ground for the Set Manager suites: the wizard suites' world (a front end, back ends in
// app/data, a scripted desktop that must be told every window, message and file dialog), plus
// opening the Set Manager with a script of what the user does in it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/clsOrvanta.h"
#include "tests/ui/wizard/WizardFixture.h"
#include "ui/sets/frmSetManager.h"

namespace orvanta {

class SetManagerTest : public WizardTest {
 public:
  using Steps = std::function<void(frmSetManager&)>;

  // Opens the Set Manager on fe as a host does; steps is the user's one turn, after which the
  // window is closed from its frame if it is still shown.
  void manage(const Steps& steps) {
    desk.onShow<frmSetManager>("frmSetManager", [steps](frmSetManager& w) {
      steps(w);
      if (w.visible())
        script::close(w);
    });
    clsOrvanta().OpenSetManager(fe);
  }
  // Adds the sets, none of them active; the first one (when given) is "Main" as buildWorld
  // made it.
  void addSets(const std::vector<std::string>& names) {
    for (const std::string& name : names)
      testsupport::addLinkSet(fe, name, name + " set", false, {});
  }
  // The stored sets as "<name>" with "*" after the active one and "+" after a valid one.
  std::string sets() const {
    std::string s;
    for (const auto& set : testsupport::linkSets(fe))
      s += (s.empty() ? "" : " ") + set.name + (set.active ? "*" : "") + (set.valid ? "+" : "");
    return s;
  }
  // What the window shows of its position: "<n>/<m>" with "<" and ">" for usable Previous and
  // Next, then the shown name, "*" when ACTIVE shows.
  static std::string where(const frmSetManager& w) {
    return (w.cmdPrevious.Enabled ? "<" : "") + w.lblSet.Caption + "/" + w.lblTotal.Caption +
           (w.cmdNextSet.Enabled ? ">" : "") + " " + w.txtSetName.Text +
           (w.lblActiveSet.Visible ? "*" : "");
  }
  // The titles of the message boxes shown, in order.
  std::string titles() const {
    std::string s;
    for (const auto& box : desk.messages())
      s += (s.empty() ? "" : " ") + box.title;
    return s;
  }
};

}  // namespace orvanta
