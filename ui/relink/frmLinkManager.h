// The Relink Manager: the expert's one-window alternative to the Relink Wizard. It shows why the
// links of the active set failed (a problem text, the failed back end), the status of every link
// as a tree, and scored candidate back ends; the user picks one (or adds one with Browse or
// Search) and relinks the failed back end's tables to it.
//
// The window keeps almost no state: OpenRelinkManager (clsOrvanta.h) prepares it before each
// modal show, and reads the component's relink-done flag after it closes to decide whether to
// test the links again and show it afresh.
#pragma once

#include <string>

#include "uikit/form.h"

namespace orvanta {

class clsOrvanta;

class frmLinkManager : public uikit::Form {
 public:
  frmLinkManager();

  uikit::Label& Label1;  // "Current Active Link Set:"
  uikit::Label& lblActiveLinkSet;
  uikit::Label& lblTableName;  // the failed table's name
  uikit::CommandButton& cmdSetMgr;
  uikit::Label& lblStatusMsg;
  uikit::CommandButton& cmdExpand;
  uikit::Frame& Frame2;  // "Link Information"
  uikit::TextBox& txtLinkStatus;
  uikit::Label& Label2;
  uikit::Label& lblDatabasePath;  // the failed back end, whose tables are relinked
  uikit::Frame& fraLinkStatus;    // "Link Status", shown in the expanded layout only
  uikit::TextBox& Text2;
  uikit::TreeView& treLinkStatus;
  uikit::Label& Label4;
  uikit::CommandButton& cmdLegend;
  uikit::Frame& fraDataSources;  // "Possible Data Sources"
  uikit::TextBox& Text1;
  uikit::ListView& lsvDatabases;  // path, score text, "found of needed"
  uikit::Label& Label3;
  uikit::CommandButton& cmdOpenScoring;
  uikit::CommandButton& cmdBrowse;
  uikit::CommandButton& cmdSearch;
  uikit::CommandButton& cmdOK;      // "&Relink"
  uikit::CommandButton& cmdCancel;  // "&Done"
  uikit::CommonDialog& CommonDialog1;
  uikit::ImageList& imgLinkStatus;

  // The component object Relink and Open Set Manager act on; set before the window is shown,
  // released when it unloads.
  clsOrvanta* LMObj = nullptr;
  // The path last picked with Browse, or the row taken by Relink.
  std::string chosenDatabasePath;
  // Zero-based column last made the sort key.
  int rememberedSortColumn = 1;

  // Scores file against the failed back end and adds it to the list, asking first when it
  // lacks some of the needed tables: what Browse does with the file the user picked, and what a
  // search started from this window does with its result. True when a row was added.
  bool addDatabase(const std::string& file);

  void Form_Load() override;
  void Form_Activate() override;
  void Form_Unload() override;
  void lsvDatabases_ItemClick(int index1);
  void lsvDatabases_ColumnClick(int column);
  void cmdExpand_Click();
  void cmdBrowse_Click();
  void cmdSearch_Click();
  void cmdOK_Click();
  void cmdCancel_Click();
  void cmdSetMgr_Click();
  void cmdLegend_Click();
  void cmdOpenScoring_Click();

  // The two layouts: the Link Status frame hidden (window 6345 twips high) or shown (8670).
  void applyLayout(bool expanded);
};

}  // namespace orvanta
