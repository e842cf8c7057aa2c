// The legend of the Relink Manager's status tree: one row per status picture, in the order of
// the tree's image list, each with what it means.
#pragma once

#include <array>

#include "uikit/form.h"

namespace orvanta {

class frmLegend : public uikit::Form {
 public:
  frmLegend();

  uikit::Picture& Picture1;                 // the white box holding the rows
  std::array<uikit::Picture*, 5> images{};  // Image1 .. Image5
  std::array<uikit::Label*, 5> labels{};    // Label1 .. Label5
  uikit::CommandButton& cmdOk;

  void cmdOk_Click();
};

}  // namespace orvanta
