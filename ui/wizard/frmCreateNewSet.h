// The page that creates a link set from the front end's current links and makes it active. The
// start-up check opens it directly when there is no active set (txtInfo shows); a situation page
// opens it to replace the active set (it hides txtInfo, so txtInfo2 shows behind it).
#pragma once

#include <chrono>
#include <string>

#include "ui/wizard/WizardPage.h"

namespace orvanta {

class frmCreateNewSet : public WizardPage {
 public:
  frmCreateNewSet();

  uikit::TextBox& txtInfo2;  // same place as txtInfo, behind it
  uikit::Frame& Frame1;      // "Link Set Information"
  uikit::Label& Label1;
  uikit::TextBox& txtSetName;
  uikit::Label& Label2;
  uikit::TextBox& txtDescription;
  uikit::CommandButton& cmdNext;

  void Form_Load() override;
  void cmdNext_Click();

  // The day the page stamps into its default description: the local date, unless a test pins it.
  static std::chrono::year_month_day (*today)();
};

// "mm/dd/yyyy": two-digit month and day, four-digit year.
std::string shortDate(std::chrono::year_month_day date);

}  // namespace orvanta
