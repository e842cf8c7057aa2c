// LoadListbox: redraws the Fix Set page's visible candidate list from its candidate store.
//
// The store (lsvDatabases) keeps full paths sorted by score; the visible list (lstDatabases)
// shows one readable row per store item in the same order, so row i is store item i + 1 and the
// page can map a click back to a path. The front end itself is never a candidate: whoever added
// it under its own path, it leaves the store here (the searches leave out its other names).
#include <algorithm>
#include <exception>
#include <set>
#include <string>

#include "dao/dao.h"
#include "engine/ComponentState.h"
#include "engine/Reports.h"
#include "paths/ShownPath.h"
#include "paths/modFunctions.h"
#include "ui/wizard/frmFixSet.h"
#include "uikit/form.h"

namespace orvanta {

void LoadListbox() {
  try {
    frmFixSet& page = uikit::form<frmFixSet>();
    // The rows are drawn anew in the store's order, which an addition may have changed; the
    // user's choices go with their candidates, not with their row numbers.
    std::set<std::string> selected;
    const int drawn =
        std::min(page.lstDatabases.ListCount(), static_cast<int>(page.shownCandidates.size()));
    for (int i = 0; i < drawn; ++i) {
      if (page.lstDatabases.Selected(i))
        selected.insert(page.shownCandidates[static_cast<std::size_t>(i)]);
    }
    page.lstDatabases.Clear();
    page.shownCandidates.clear();

    uikit::ListView& store = page.lsvDatabases;
    const std::string& frontEnd = state().currentFrontEndPath;
    for (int i = store.Count(); i >= 1; --i) {
      if (store.Item(i).text == frontEnd)
        store.RemoveItem(i);
    }

    for (const uikit::ListView::ListItem& item : store.items()) {
      page.lstDatabases.AddItem(paths::shownPath(item.text) + " (Score: " + item.subItem(1) + ", " +
                                item.subItem(2) + " tables)");
      page.shownCandidates.push_back(item.text);
      if (selected.count(item.text) != 0)
        page.lstDatabases.SetSelected(page.lstDatabases.NewIndex(), true);
    }
  } catch (const dao::Error& e) {
    reportModuleError("LoadListbox", e);
  } catch (const std::exception& e) {
    reportModuleError("LoadListbox", dao::kErrInternal, e.what());
  }
}

}  // namespace orvanta
