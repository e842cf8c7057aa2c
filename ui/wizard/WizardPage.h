// What every page of the Relink Wizard shares: the frame of the window (side picture, info text
// at the top, separator), the hand-over to the next page, closing the wizard, the Ignore
// confirmation and the error report of a Next handler. OptionPage adds the "Select Option"
// frame with its option buttons and the recommended-option marker, used by the situation pages
// and by the two follow-on pages that offer options.
//
// Pages are uikit forms: one instance per thread, created on first reference (which runs their
// load rules), hidden rather than unloaded when they hand over, and unloaded all together when
// the wizard closes. A hand-over is the toolkit's: the page hides itself and shows the next
// modally, and the toolkit runs the next page once the handler has returned, so a hand-over is
// the last thing a handler does and a walk of any length keeps the stack flat. A page closed
// from its window frame simply unloads: every earlier page is already hidden, and the wizard
// ends with nothing changed and the ignore flag as it was.
#pragma once

#include <functional>
#include <string>

#include "uikit/form.h"

namespace orvanta {

// Some link set other than the active one matches the current table links, and the host lets
// the user switch sets. The situation pages offer "switch" only then.
bool anotherMatchingSetExists();

// Before a page creates a link set: true when no stored set answers to name. Otherwise shows
// "There is already a link set defined with the name" and the name ("Link Set Error") and
// returns false. Names differ only when they differ in more than letter case, because every
// statement that finds a set by name ignores case. Throws dao::Error when the sets cannot be read.
bool newSetNameIsFree(const std::string& name);

class WizardPage : public uikit::Form {
 public:
  // Layout shared by the pages, in twips.
  static constexpr int kFormWidth = 7800;
  static constexpr int kFormHeight = 5700;
  static constexpr int kSideWidth = 1800;    // Image1, the picture down the left side
  static constexpr int kContentLeft = 2040;  // everything else starts right of it
  static constexpr int kContentWidth = 5580;
  static constexpr int kInfoTop = 120;
  static constexpr int kInfoHeight = 1215;
  static constexpr int kBodyTop = 1560;  // below the separator Line1
  static constexpr int kButtonTop = 4920;
  static constexpr int kButtonWidth = 1215;
  static constexpr int kButtonHeight = 375;

  uikit::Picture& Image1;   // side picture, decoration only
  uikit::TextBox& txtInfo;  // the page's explanation, read-only
  uikit::Line& Line1;       // separator under the info text, decoration only

 protected:
  WizardPage(const std::string& formName, const std::string& caption, const std::string& info);

  // Buttons at the bottom right: Back left of Next, Finish where Next would be.
  uikit::CommandButton& addBackButton();
  uikit::CommandButton& addNextButton(const std::string& caption = "&Next  >>",
                                      const std::string& controlName = "cmdNext");
  // The hidden calling-page field ("CallingForm" as designed) that the opening page fills with
  // its own name and that Back reads.
  uikit::TextBox& addCallingFormField();

  // Hides this page and shows next modally. Whatever next needs (its calling-page field, its
  // Back button, its info text) is set by the caller before the hand-over.
  void handOver(uikit::Form& next);
  // Hands over to the Finished page.
  void finish();

  // "Are you sure you want to ignore?". On Yes the wizard closes and the ignore flag takes
  // ignoreFlag (each page decides what ignoring its situation means to the host); returns true.
  // On No nothing changes and it returns false.
  bool confirmIgnore(bool ignoreFlag);

  // Runs a Next handler's work. A database failure is reported as the situation pages report
  // it (the engine error report titled "cmdNext_Click - <number>") and ends the handler; the
  // page stays shown with its selection, and work done before the failure stays done.
  void runNext(const std::function<void()>& work);
  // The same with the module error report ("cmdNext_Click - <description>: <number>", critical,
  // title "cmdNext_Click"), which the Fix Set and Missing Links pages use.
  void runNextModule(const std::function<void()>& work);
};

// Closes the wizard: unloads every loaded window of the component, hidden pages included.
void closeWizard();

// A situation page: the "Select Option" frame holding the options top to bottom, each with its
// detailed description as tool tip, and the marker that stands beside the recommended option.
class OptionPage : public WizardPage {
 public:
  static constexpr int kMarkerSize = 300;
  static constexpr int kOptionLeft = 480;   // inside Frame1, leaving room for the marker
  static constexpr int kOptionTop = 390;    // first option, inside Frame1
  static constexpr int kOptionPitch = 480;  // distance between option tops
  static constexpr int kOptionHeight = 255;

  uikit::Frame& Frame1;    // "Select Option"
  uikit::Picture& Image2;  // the recommended-option marker, tool tip "Best Choice"

  // Moves the marker beside option: left of it, its top 15 twips above the option's top.
  void markBeside(const uikit::OptionButton& option);

 protected:
  OptionPage(const std::string& formName, const std::string& caption, const std::string& info,
             int frameHeight = 2700);

  // Options that several situation pages offer, carried out the same way on each.
  // "Create a new Active Link Set": frmCreateNewSet opens with its second info text.
  void goToCreateNewSet();
  // "Switch to another link set": frmSwitchSet, whose Back returns to this page.
  void goToSwitchSet();
  // "Update the Active Set with current linked tables": the set's links are replaced by the
  // front end's current ones, all or nothing, then the wizard finishes. Throws dao::Error on
  // failure, for the Next handler to report; the set then keeps its links.
  void updateActiveSetFromCurrentLinks();

  // Adds the next option below the previous one (or at top, when given) inside Frame1.
  uikit::OptionButton& addOption(const std::string& controlName, const std::string& caption,
                                 const std::string& description, int top = -1);

 private:
  int nextOptionTop_ = kOptionTop;
};

}  // namespace orvanta
