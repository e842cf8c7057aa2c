#include "ui/wizard/frmCreateNewSet.h"

#include <cstdio>
#include <ctime>

#include "engine/ComponentState.h"
#include "engine/Engine.h"
#include "ui/wizard/SetRewrite.h"
#include "ui/wizard/frmWizard1.h"
#include "uikit/desktop.h"

namespace orvanta {
namespace {

std::chrono::year_month_day localToday() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return std::chrono::year_month_day{std::chrono::year{local.tm_year + 1900},
                                     std::chrono::month{static_cast<unsigned>(local.tm_mon + 1)},
                                     std::chrono::day{static_cast<unsigned>(local.tm_mday)}};
}

}  // namespace

std::chrono::year_month_day (*frmCreateNewSet::today)() = localToday;

std::string shortDate(std::chrono::year_month_day date) {
  char text[16];
  std::snprintf(text, sizeof text, "%02u/%02u/%04d", static_cast<unsigned>(date.month()),
                static_cast<unsigned>(date.day()), static_cast<int>(date.year()));
  return text;
}

frmCreateNewSet::frmCreateNewSet()
    : WizardPage("frmCreateNewSet", "Vantrel Wizard - Create New Link Set",
                 "There are currently no link sets defined for your database.  Enter a name and "
                 "description for your link set. Your current linked tables will be added to this "
                 "set. Click 'Next' to continue.\r\n"),
      txtInfo2(
          add<uikit::TextBox>("txtInfo2", {kContentLeft, kInfoTop, kContentWidth, kInfoHeight})),
      Frame1(add<uikit::Frame>("Frame1", {kContentLeft, kBodyTop, kContentWidth, 1800})),
      Label1(add<uikit::Label>("Label1", {240, 360, kContentWidth - 480, 255}, &Frame1)),
      txtSetName(add<uikit::TextBox>("txtSetName", {240, 630, kContentWidth - 480, 285}, &Frame1)),
      Label2(add<uikit::Label>("Label2", {240, 1050, kContentWidth - 480, 255}, &Frame1)),
      txtDescription(
          add<uikit::TextBox>("txtDescription", {240, 1320, kContentWidth - 480, 285}, &Frame1)),
      cmdNext(addNextButton()) {
  txtInfo2.Text =
      "In order to create your new link set you must provide a set name and a set description.  "
      "After you have filled in this information click 'Next' to continue.\r\n";
  txtInfo2.MultiLine = true;
  txtInfo2.Locked = true;
  txtInfo.ZOrder(0);  // in front: txtInfo2 shows only once a page hides txtInfo
  Frame1.Caption = "Link Set Information";
  Label1.Caption = "Link Set Name";
  txtSetName.Text = "Default Link Set";
  Label2.Caption = "Link Set Description";
  cmdNext.Click = [this] { cmdNext_Click(); };
}

void frmCreateNewSet::Form_Load() {
  txtDescription.Text = "Default link set created on " + shortDate(today());
}

void frmCreateNewSet::cmdNext_Click() {
  using uikit::Buttons;
  using uikit::Icon;
  runNext([this] {
    const std::string name = txtSetName.Text;
    const std::string description = txtDescription.Text;
    if (name.empty()) {
      uikit::MsgBox("You must fill in a Set Name.", Buttons::OK, Icon::Information,
                    "Missing Field");
      SetFocus(txtSetName);
      return;
    }
    if (description.empty()) {
      uikit::MsgBox("You must fill in a Set Description.", Buttons::OK, Icon::Information,
                    "Missing Field");
      SetFocus(txtDescription);
      return;
    }
    if (!newSetNameIsFree(name)) {
      SetFocus(txtSetName);
      return;
    }

    // Creating, activating (with the front end's path recorded) and filling the set are one
    // piece of work: a failure leaves the previous set active and no new, empty set behind.
    createActiveSetFromCurrentLinks(name, description);
    state().linkCountComparison = CompareLinkCounts();
    if (ValidateLinkSets()) {
      finish();
    } else {
      // The current links do not all work: the new set needs fixing like any broken set.
      handOver(uikit::form<frmWizard1>());
    }
  });
}

}  // namespace orvanta
