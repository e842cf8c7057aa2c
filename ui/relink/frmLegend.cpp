#include "ui/relink/frmLegend.h"

#include <string>

#include "ui/relink/StatusImages.h"

namespace orvanta {
namespace {

constexpr int kRowHeight = 345;
constexpr int kBoxWidth = 6135;
constexpr int kBoxHeight = 5 * kRowHeight + 180;

}  // namespace

frmLegend::frmLegend()
    : uikit::Form("frmLegend"),
      Picture1(add<uikit::Picture>("Picture1", {120, 120, kBoxWidth, kBoxHeight})),
      cmdOk(add<uikit::CommandButton>(
          "cmdOk", {120 + (kBoxWidth - 1215) / 2, kBoxHeight + 240, 1215, 375})) {
  Caption = "Symbol Legend";
  geometry = {0, 0, kBoxWidth + 360, kBoxHeight + 1200};
  Picture1.BackColor = uikit::Color::White;
  for (std::size_t i = 0; i < kStatusImages.size(); ++i) {
    const int top = 120 + static_cast<int>(i) * kRowHeight;
    const std::string n = std::to_string(i + 1);
    images[i] = &add<uikit::Picture>(
        "Image" + n, {120, top + 45, kStatusImageWidth, kStatusImageHeight}, &Picture1);
    images[i]->Image = kStatusImages[i].picture;
    labels[i] = &add<uikit::Label>("Label" + n, {480, top, kBoxWidth - 600, 255}, &Picture1);
    labels[i]->Caption = kStatusImages[i].meaning;
    labels[i]->BackColor = uikit::Color::White;
  }
  cmdOk.Caption = "&OK";
  cmdOk.Click = [this] { cmdOk_Click(); };
}

void frmLegend::cmdOk_Click() {
  Unload();
}

}  // namespace orvanta
