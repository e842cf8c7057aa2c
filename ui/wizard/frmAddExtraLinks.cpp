#include "ui/wizard/frmAddExtraLinks.h"

#include "engine/ComponentState.h"
#include "engine/Engine.h"
#include "ui/wizard/frmFixSet.h"
#include "ui/wizard/frmIIb2c2.h"
#include "ui/wizard/frmWizard1.h"

namespace orvanta {
namespace {
constexpr const char* kExtraLinksFound =
    "There are linked tables in your database that are not currently in your active link set.";
}

frmAddExtraLinks::frmAddExtraLinks()
    : OptionPage("frmAddExtraLinks", "Vantrel Wizard - Add/Remove Extra Links", "", 2220),
      txtCallingForm(addCallingFormField()),
      optAddExtraLinks(
          addOption("optAddExtraLinks", "Add Extra Links to your current link set", "", 990)),
      optDontAdd(
          addOption("optDontAdd", "Don't add extra links to your current link set", "", 1590)),
      cmdBack(addBackButton()),
      cmdNext(addNextButton()) {
  optAddExtraLinks.setValue(true);
  markBeside(optAddExtraLinks);
  cmdNext.Click = [this] { cmdNext_Click(); };
  cmdBack.Click = [this] { cmdBack_Click(); };
}

void frmAddExtraLinks::Form_Load() {
  if (state().bolAllowAddTables) {
    optAddExtraLinks.Enabled = true;
    optAddExtraLinks.setValue(true);
    markBeside(optAddExtraLinks);
    txtInfo.Text = std::string(kExtraLinksFound) +
                   "You have the option of adding these tables to your active link set or "
                   "not.\r\n\r\nMake a selection and click 'Next' to continue.";
  } else {
    optAddExtraLinks.setValue(false);
    optAddExtraLinks.Enabled = false;
    optDontAdd.setValue(true);
    markBeside(optDontAdd);
    txtInfo.Text = std::string(kExtraLinksFound) +
                   "Your application configuration does not allow you to add any extra tables "
                   "to your link set.\r\n\r\nClick 'Next' to continue.";
  }
}

void frmAddExtraLinks::cmdNext_Click() {
  runNext([this] {
    if (optAddExtraLinks.value())
      AddCurrentLinksToLinkSet(state().activeSetName);
    if (ValidateLinkSets()) {
      finish();
    } else {
      // ValidateLinkSets has just refilled the Fix Set page's lists. Its Back leads to the
      // situation page, which this page stands between; so it is not offered from here.
      auto& next = uikit::form<frmFixSet>();
      next.cmdBack.Visible = false;
      handOver(next);
    }
  });
}

void frmAddExtraLinks::cmdBack_Click() {
  if (txtCallingForm.Text == "frmIIb2c2") {
    handOver(uikit::form<frmIIb2c2>());
  } else if (txtCallingForm.Text == "frmWizard1") {
    handOver(uikit::form<frmWizard1>());
  }
}

}  // namespace orvanta
