// Every window of the product drawn by the Qt driver with its real font metrics, in a typical
// state over a front end whose sales back end was renamed: no designed text may be clipped by its
// control. The start-up check's own walk (first page, Fix Set with the candidate picked,
// Finished) shows its pages as a user sees them; the other windows are loaded as their callers
// load them. With VANTREL_GALLERY_DIR set, each window is also saved there as <form>.png.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "engine/ComponentState.h"
#include "fs/fs.h"
#include "orvanta/clsOrvanta.h"
#include "search/frmSearch.h"
#include "tests/support/Fixtures.h"
#include "tests/uikit/qt/qt_test_support.h"
#include "ui/relink/frmAttachTables.h"
#include "ui/relink/frmLegend.h"
#include "ui/relink/frmLinkManager.h"
#include "ui/relink/frmScoring.h"
#include "ui/relink/frmTables.h"
#include "ui/sets/frmSetManager.h"
#include "ui/sets/frmSwitchSetManager.h"
#include "ui/wizard/frmAddExtraLinks.h"
#include "ui/wizard/frmCreateNewSet.h"
#include "ui/wizard/frmFEMoved.h"
#include "ui/wizard/frmFinish.h"
#include "ui/wizard/frmFixSet.h"
#include "ui/wizard/frmIIb2c2.h"
#include "ui/wizard/frmIb1.h"
#include "ui/wizard/frmId12.h"
#include "ui/wizard/frmMissingLinks.h"
#include "ui/wizard/frmSwitchSet.h"
#include "ui/wizard/frmWizard1.h"
#include "uikit/form.h"
#include "uikit/qt/form_dialog.h"
#include "uikit/qt/qt_desktop.h"
#include "uikit/script/scripted_desktop.h"

namespace orvanta {
namespace {

namespace script = uikit::script;
template <class...>
struct type_list {};

// The machine's own drives would make the search window differ from one machine to the next.
class TypicalDrives : public vfs::FileSystemWrapper {
 public:
  TypicalDrives() : FileSystemWrapper(vfs::native()) {}
  std::vector<std::string> Drives() override { return {"/home/user/", "/", "/media/usb/"}; }
};

class WindowsFit : public ::testing::Test {
 protected:
  void SetUp() override {
    uikit::unloadAllForms();
    const std::string data = dir.file("App/Data/");
    testsupport::makeBackEnd(data + "Sales-2024.mdb", {"Customers", "Orders"});
    testsupport::makeBackEnd(data + "Staff.mdb", {"Employees", "Departments"});
    testsupport::makeFrontEnd(fe);
    testsupport::addLinkSet(fe, "Office", "Office back ends", true,
                            {{"Customers", data + "Sales.mdb"},
                             {"Orders", data + "Sales.mdb"},
                             {"Employees", data + "Staff.mdb"},
                             {"Departments", data + "Staff.mdb"}},
                            fe);
    testsupport::addLinkSet(fe, "Archive", "Last year's back ends", false, {}, fe);
  }
  void TearDown() override {
    uikit::unloadAllForms();
    uikit::FormRegistry::current().collect();
    EXPECT_EQ(desk.failure(), "");
  }

  // Draws form as the Qt driver does, checks its texts (and what more checks) and saves it to the
  // gallery.
  void expectFits(uikit::Form& form, const std::string& file = "",
                  const std::function<void(QWidget&)>& more = nullptr) {
    uikit::qt::FormDialog dialog(qt, form, nullptr);
    dialog.show();
    QCoreApplication::processEvents();
    qt_test::expectTextsFit(dialog, dialog.scale());
    if (more)
      more(dialog);
    if (const char* gallery = std::getenv("VANTREL_GALLERY_DIR")) {
      const std::string path = std::string(gallery) + "/" + (file.empty() ? form.name() : file);
      EXPECT_TRUE(dialog.grab().save(QString::fromStdString(path + ".png"))) << path;
    }
    dialog.hide();
  }
  // Loads F as its callers do, lets prepare fill in what a caller would, and checks it.
  template <class F>
  void expectLoadedFits(const std::function<void(F&)>& prepare = nullptr,
                        const std::function<void(QWidget&)>& more = nullptr) {
    SCOPED_TRACE(typeid(F).name());
    F& form = uikit::form<F>();
    if (prepare)
      prepare(form);
    expectFits(form, "", more);
    uikit::unloadAllForms();
  }

  testsupport::TempDir dir;
  const std::string fe = dir.file("App/Front.mdb");
  uikit::qt::QtDesktop qt;  // draws; the scripted desktop below plays the user
  script::ScriptedDesktop desk;
  uikit::ScopedDesktop use{desk};
};

TEST_F(WindowsFit, TheStartUpCheckWalk) {
  desk.onShow("frmWizard1", [&](uikit::Form& page) {
    expectFits(page);
    script::click(page, "cmdNext");
  });
  desk.onShow<frmFixSet>("frmFixSet", [&](frmFixSet& page) {
    ASSERT_GE(page.lstDatabases.ListCount(), 1);
    script::clickRow(page, "lstDatabases", 0);
    expectFits(page);
    script::click(page, "cmdNext");
  });
  desk.onShow("frmFinish", [&](uikit::Form& page) {
    expectFits(page);
    script::click(page, "cmdFinish");
  });
  EXPECT_EQ(clsOrvanta().CheckLinkedTables(fe), 0);
}

// The expanded layout grows the window, and the status tree shows its pictures.
TEST_F(WindowsFit, TheRelinkManagerInBothLayouts) {
  int collapsed = 0;
  desk.onShow("frmLinkManager", [&](uikit::Form& manager) {
    expectFits(manager, "", [&](QWidget& d) { collapsed = d.height(); });
    script::click(manager, "cmdExpand");
    expectFits(manager, "frmLinkManager-expanded", [&](QWidget& d) {
      EXPECT_GT(d.height(), collapsed);
      auto& tree = qt_test::child<QTreeWidget>(d, "treLinkStatus");
      ASSERT_EQ(tree.topLevelItemCount(), 2);
      EXPECT_EQ(tree.topLevelItem(0)->icon(0).pixmap(16, 12).size(), QSize(16, 12));
    });
    script::click(manager, "cmdCancel");
  });
  EXPECT_FALSE(OpenRelinkManager(fe));
}

TEST_F(WindowsFit, EveryOtherWindow) {
  // What a check leaves behind for the windows opened after it.
  ComponentState& s = state();
  s.bolAllowSetSwitching = s.bolAllowPathChange = s.bolAllowAddTables = s.bolAllowSetMgmt = true;
  s.defaultsApplied = true;
  s.currentFrontEndPath = s.savedFrontEndPath = s.linkSetDatabasePath = fe;
  s.activeSetName = "Office";
  s.activeSetFound = true;
  s.chosenBackEndPath = dir.file("App/Data/Staff.mdb");
  [this]<class... F>(type_list<F...>) {
    (expectLoadedFits<F>(), ...);
  }(type_list<frmIb1, frmId12, frmIIb2c2, frmFEMoved, frmMissingLinks, frmAddExtraLinks,
              frmCreateNewSet, frmSwitchSet, frmSetManager, frmSwitchSetManager>());
  // The help windows are laid out whole, the legend with every status picture at its size.
  expectLoadedFits<frmLegend>(nullptr, [](QWidget& legend) {
    for (const char* image : {"Image1", "Image2", "Image3", "Image4", "Image5"}) {
      const auto& picture = qt_test::child<QLabel>(legend, image);
      EXPECT_EQ(picture.pixmap().size(), picture.size()) << image;
    }
    qt_test::expectLaidOut(legend);
  });
  expectLoadedFits<frmScoring>(nullptr, qt_test::expectLaidOut);
  expectLoadedFits<frmTables>([](frmTables& tables) {
    for (const char* table : {"Customers", "Orders", "Employees", "Departments"})
      tables.lstTableLinks.AddItem(table);
  });
  expectLoadedFits<frmAttachTables>();
  TypicalDrives drives;
  vfs::ScopedFileSystem useDrives(drives);
  expectLoadedFits<frmSearch>();
}

}  // namespace
}  // namespace orvanta
