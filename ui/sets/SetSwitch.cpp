#include "ui/sets/SetSwitch.h"

#include <exception>
#include <string>

#include "dao/dao.h"
#include "engine/ComponentState.h"
#include "engine/LinkSetStore.h"
#include "engine/Procedure.h"

namespace orvanta {

bool switchToLinkSet(std::int32_t setId) {
  ComponentState& s = state();
  auto db = detail::openLinkSetDatabase();
  std::string name;
  std::string description;
  {
    // Every row's flag is rewritten: one transaction, so a failure half-way never leaves two
    // sets active, or none.
    detail::Transaction transaction(*db);
    auto sets = db->OpenRecordset("SELECT * FROM tblLinkedSets");
    bool found = false;
    for (; !sets->AtEOF(); sets->MoveNext()) {
      const bool chosen = sets->Field("ID").AsInt32() == setId;
      sets->Edit();
      sets->SetField("ActiveSet", dao::Value::Boolean(chosen));
      if (chosen) {
        found = true;
        name = sets->Field("Name").AsString();
        description = sets->Field("Description").AsString();
        sets->SetField("FrontEndPath", s.currentFrontEndPath);
      }
      sets->Update();
    }
    sets->Close();
    if (!found) {
      // Deleted meanwhile by another copy of the application; the rollback undoes the flags.
      throw dao::Error(dao::kErrNoCurrentRecord, "The link set you selected no longer exists.");
    }
    transaction.commit();
  }
  s.activeSetName = name;
  s.activeSetDescription = description;

  try {
    detail::Transaction transaction(*db);
    detail::linkTablesToSetIdIn(*db, setId);
    transaction.commit();
    return true;
  } catch (const std::exception&) {
    // Rolled back: the front end has its old links. The caller's validation and the start-up
    // check say what is wrong and lead the repair.
    return false;
  }
}

}  // namespace orvanta
