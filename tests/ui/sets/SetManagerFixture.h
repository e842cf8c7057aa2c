// The Set Manager suites: the wizard suites' world, plus opening the Set Manager with a script of
// the user's turn in it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "orvanta/clsOrvanta.h"
#include "tests/ui/wizard/WizardFixture.h"
#include "ui/sets/frmSetManager.h"

namespace orvanta {

class SetManagerTest : public WizardTest {
 public:
  using Steps = std::function<void(frmSetManager&)>;

  // Opens the Set Manager on fe as a host does; after steps a window still shown is closed.
  void manage(const Steps& steps) {
    desk.onShow<frmSetManager>("frmSetManager", [steps](frmSetManager& w) {
      steps(w);
      if (w.visible())
        script::close(w);
    });
    clsOrvanta().OpenSetManager(fe);
  }
  void addSets(const std::vector<std::string>& names) {
    for (const std::string& name : names)
      testsupport::addLinkSet(fe, name, name + " set", false, {});
  }
  // The stored sets, "*" after the active one and "+" after a valid one.
  std::string sets() const {
    std::string s;
    for (const auto& set : testsupport::linkSets(fe))
      s += (s.empty() ? "" : " ") + set.name + (set.active ? "*" : "") + (set.valid ? "+" : "");
    return s;
  }
  // "<n/m>" with "<" and ">" for usable Previous and Next, the name, "*" when ACTIVE shows.
  static std::string where(const frmSetManager& w) {
    return (w.cmdPrevious.Enabled ? "<" : "") + w.lblSet.Caption + "/" + w.lblTotal.Caption +
           (w.cmdNextSet.Enabled ? ">" : "") + " " + w.txtSetName.Text +
           (w.lblActiveSet.Visible ? "*" : "");
  }
};

}  // namespace orvanta
