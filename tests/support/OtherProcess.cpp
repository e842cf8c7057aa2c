// The other user of a database file, started fresh (not forked, which would inherit SQLite's and
// the database layer's in-process lock bookkeeping): PROGRAM PATH OPTIONS READONLY ACTION.
//   hold:   open, print the error number (0 when opened), keep the file open until stdin ends.
//   write:  as hold, inside a write transaction (the write lock held until stdin ends).
//   delete: open and delete every row of Customers, print the error number.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <limits>
#include <string>

#include "dao/dao.h"

int main(int argc, char** argv) {
  if (argc != 5)
    return 2;
  const std::string action = argv[4];
  int number = 0;
  std::unique_ptr<dao::Database> db;
  try {
    db = dao::OpenDatabase(argv[1], std::atoi(argv[2]), std::atoi(argv[3]) != 0);
    if (action == "delete")
      db->Execute("DELETE * FROM Customers");
    else if (action == "write")
      db->BeginTrans();
  } catch (const dao::Error& e) {
    number = e.Number();
  }
  std::printf("%d\n", number);
  std::fflush(stdout);
  if (action != "delete")
    std::cin.ignore(std::numeric_limits<std::streamsize>::max());  // until the test lets go
  return 0;
}
