// Plumbing shared by the engine procedures and the windows' handlers: trapping failures at a
// procedure's (or handler's) boundary, and all-or-nothing work on one open database. Internal to
// the component; hosts never include it.
#pragma once

#include <exception>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>

#include "dao/dao.h"
#include "engine/Reports.h"

namespace orvanta::detail {

// Any failure as a numbered error: layer errors keep their number; anything else (a window
// model refusing an operation, an allocation failure) becomes the layer's internal error, so
// callers that hand error numbers back always have one.
inline dao::Error asDaoError(const std::exception& e) {
  if (const auto* daoError = dynamic_cast<const dao::Error*>(&e))
    return *daoError;
  return dao::Error(dao::kErrInternal, e.what());
}

// Runs body; a failure shows the engine error report titled after procedure and the procedure
// returns fallback (its result "so far"). Databases and recordsets the body opened close as it
// unwinds. Nothing escapes: engine procedures never throw.
template <class Body>
auto trapped(const char* procedure, std::invoke_result_t<Body> fallback, Body&& body)
    -> std::invoke_result_t<Body> {
  try {
    return std::forward<Body>(body)();
  } catch (const std::exception& e) {
    reportEngineError(procedure, asDaoError(e));
  }
  return fallback;
}

template <class Body>
void trapped(const char* procedure, Body&& body) {
  try {
    std::forward<Body>(body)();
  } catch (const std::exception& e) {
    reportEngineError(procedure, asDaoError(e));
  }
}

// A transaction that rolls back unless committed: any failure between BeginTrans and commit()
// leaves the database as it was, table definitions included.
class Transaction {
 public:
  explicit Transaction(dao::Database& db) : db_(db) { db_.BeginTrans(); }
  ~Transaction() {
    if (open_) {
      try {
        db_.Rollback();
      } catch (...) {  // the database is being abandoned anyway; closing it discards the work
      }
    }
  }
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

  void commit() {
    db_.CommitTrans();
    open_ = false;
  }

 private:
  dao::Database& db_;
  bool open_ = true;
};

}  // namespace orvanta::detail
