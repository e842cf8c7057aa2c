// The statement translation and the other readers of statement text take whatever a front end's
// saved queries hold: any bytes must come back as text, never a crash or an endless loop.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "dao/internal.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view sql(reinterpret_cast<const char*>(data), size);
  const std::string translated = dao::detail::TranslateStatement(sql);
  // Translating again must be possible too: the layer may see its own output.
  dao::detail::TranslateStatement(translated);
  dao::detail::HasAggregateShape(sql);
  dao::detail::InsertAfterSelect(sql, "rowid, ");
  dao::detail::BareTableName(sql);
  return 0;
}
