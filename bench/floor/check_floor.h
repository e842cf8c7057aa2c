// What a healthy start-up check cannot do without, written with nothing but the SQLite API: open
// the front end read-only, read its linked definitions and its link rows, open each distinct back
// end once and read one row of each distinct linked table. The benchmarks measure the real check
// against it, in one process and as whole programs.
#pragma once

namespace floorcheck {

// The number of (back end, table) pairs read; -1 when a file or a table could not be read.
int run(const char* frontEnd);

// What applying a link set cannot do without: in one transaction on the front end, replace its
// linked definitions by one per link row of the set named setName, checking each distinct
// (back end, table) pair once. The number of definitions written; -1 on any failure.
int relink(const char* frontEnd, const char* setName);

}  // namespace floorcheck
