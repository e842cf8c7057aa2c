// LoadListbox: redraws the Fix Set page's visible candidate list from its candidate store.
//
// The store (lsvDatabases) keeps full paths sorted by score; the visible list (lstDatabases)
// shows one readable row per store item in the same order, so row i is store item i + 1 and the
// page can map a click back to a path. The front end itself is never a candidate: whoever added
// it, it leaves the store here.
#include <exception>
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
    page.lstDatabases.Clear();

    uikit::ListView& store = page.lsvDatabases;
    const std::string& frontEnd = state().currentFrontEndPath;
    for (int i = store.Count(); i >= 1; --i) {
      if (store.Item(i).text == frontEnd)
        store.RemoveItem(i);
    }

    for (const uikit::ListView::ListItem& item : store.items()) {
      page.lstDatabases.AddItem(paths::shownPath(item.text) + " (Score: " + item.subItem(1) + ", " +
                                item.subItem(2) + " tables)");
    }
  } catch (const dao::Error& e) {
    reportModuleError("LoadListbox", e);
  } catch (const std::exception& e) {
    reportModuleError("LoadListbox", dao::kErrInternal, e.what());
  }
}

}  // namespace orvanta
