#include "tests/support/SqliteFiles.h"

#include <sqlite3.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace testsupport {

void runSql(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  int rc = sqlite3_open(path.c_str(), &db);
  char* message = nullptr;
  if (rc == SQLITE_OK)
    rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message);
  const std::string why = message ? message : sqlite3_errstr(rc);
  sqlite3_free(message);
  sqlite3_close(db);
  if (rc != SQLITE_OK)
    throw std::runtime_error(sql + ": " + why);
}

void plantHotJournal(const std::string& path, const std::string& change,
                     const std::string& superJournal) {
  // Without syncs SQLite writes the journal's header whole at once, so a copy taken while the
  // change is open is exactly what a crash would leave.
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  const std::string sql = "PRAGMA synchronous=OFF; BEGIN; " + change;
  const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
  std::stringstream bytes;
  bytes << std::ifstream(path + "-journal", std::ios::binary).rdbuf();
  std::string journal = bytes.str();
  sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  if (rc != SQLITE_OK || journal.size() < 8)
    throw std::runtime_error("no journal was written for: " + change);
  if (!superJournal.empty()) {
    // The super-journal record ends the journal: a page number no record uses, the name, its
    // length and checksum, and the journal's magic number.
    auto put32 = [&](std::uint32_t v) {
      for (int shift = 24; shift >= 0; shift -= 8)
        journal += static_cast<char>((v >> shift) & 0xff);
    };
    std::uint32_t checksum = 0;
    for (unsigned char c : superJournal)
      checksum += c;
    put32((0x40000000u / 4096u) + 1);
    journal += superJournal;
    put32(static_cast<std::uint32_t>(superJournal.size()));
    put32(checksum);
    journal += journal.substr(0, 8);
  }
  std::ofstream(path + "-journal", std::ios::binary | std::ios::trunc) << journal;
}

}  // namespace testsupport
