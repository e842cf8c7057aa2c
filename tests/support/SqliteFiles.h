// Database files shaped as other programs leave them, made with SQLite itself rather than the
// database layer: WAL mode, tables of any shape, the journal of a writer that died mid-commit.
#pragma once

#include <string>

namespace testsupport {

// Runs statements on the file with SQLite; creates the file when missing. Throws
// std::runtime_error on failure.
void runSql(const std::string& path, const std::string& sql);

// Leaves beside the database the rollback journal a writer leaves when it dies in the middle of
// committing `change` (statements that change existing pages): a hot journal, which the next
// read-write open rolls back. When superJournal is not empty the journal names it as its
// super-journal, which that open then deletes.
void plantHotJournal(const std::string& path, const std::string& change,
                     const std::string& superJournal = "");

}  // namespace testsupport
