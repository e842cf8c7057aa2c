// How the candidate scores of the Relink Manager come about, in the user's words.
#pragma once

#include <string>

#include "uikit/form.h"

namespace orvanta {

class frmScoring : public uikit::Form {
 public:
  frmScoring();

  uikit::TextBox& txtText;
  uikit::CommandButton& cmdOk;

  // The explanation shown in txtText; it opens with an empty line.
  static std::string scoringText();

  void Form_Load() override;
  void cmdOk_Click();
};

}  // namespace orvanta
