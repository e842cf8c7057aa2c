// `vantrel status --json` writes names, paths and connect strings taken from a front end, which
// are arbitrary bytes. Whatever they hold, the document must parse as JSON (RFC 8259, strings in
// valid UTF-8), or the scripts reading it break on a hostile file name.
#include <cstddef>
#include <cstdint>
#include <stdexcept>

#include "fuzz/FuzzInput.h"
#include "host/StatusReport.h"
#include "tests/support/JsonReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Field by field: front end, then per set name, description, path, problem, table, connect,
  // then per linked table name, source, connect, error.
  const auto f = fuzz::fields(data, size, 11);
  vantrel::Status status;
  status.frontEnd = f[0];
  status.unfinishedChange = !f[0].empty() && (f[0][0] & 1);
  status.hasLinkSetTables = true;
  vantrel::StatusSet set;
  set.id = static_cast<long long>(f.size()) - 6;
  set.name = f[1];
  set.description = f[2];
  set.frontEndPath = f[3];
  set.problem = f[4];
  if (!f[4].empty())
    set.active = std::nullopt;
  set.links.push_back({f[5], f[6]});
  status.sets.push_back(set);
  for (std::size_t i = 7; i + 4 <= f.size(); i += 4)
    status.linkedTables.push_back({f[i], f[i + 1], f[i + 2], (f.size() & 1) != 0, f[i + 3]});
  const std::string json = vantrel::formatStatusJson(status);
  try {
    testsupport::parseJson(json);
  } catch (const std::exception&) {
    fuzz::fail("the status document does not parse", json);
  }
  return 0;
}
