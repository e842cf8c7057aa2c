#include "dao/connect.h"

#include <cctype>
#include <string>
#include <string_view>
#include <vector>

#include "dao/internal.h"

namespace dao {
namespace {

constexpr std::string_view kDatabase = "DATABASE";
constexpr std::string_view kPassword = "PWD";
constexpr std::string_view kHidden = "*****";

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && text.front() == ' ')
    text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ')
    text.remove_suffix(1);
  return text;
}

// The name of a name=value piece ("" when the piece is not one). Names are words: letters,
// digits, blanks and underscores before the first "=".
std::string_view nameOf(std::string_view piece) {
  const std::size_t equals = piece.find('=');
  if (equals == std::string_view::npos)
    return {};
  const std::string_view name = trimmed(piece.substr(0, equals));
  for (unsigned char c : name) {
    if (!std::isalnum(c) && c != ' ' && c != '_')
      return {};
  }
  return name;
}

bool named(std::string_view piece, std::string_view name) {
  return detail::EqualsNoCase(nameOf(piece), name);
}

// The pieces between semicolons, each one that cannot start a part joined back onto the part
// before it. The first piece is the type unless it is itself name=value.
std::vector<std::string> pieces(std::string_view connect) {
  std::vector<std::string> out;
  for (std::size_t start = 0;;) {
    const std::size_t end = connect.find(';', start);
    const std::string_view piece =
        connect.substr(start, end == std::string_view::npos ? end : end - start);
    if (!out.empty() && !piece.empty() && nameOf(piece).empty() && !nameOf(out.back()).empty()) {
      out.back().append(";").append(piece);
    } else {
      out.emplace_back(piece);
    }
    if (end == std::string_view::npos)
      return out;
    start = end + 1;
  }
}

std::string joined(const std::vector<std::string>& parts) {
  std::string out;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0)
      out += ';';
    out += parts[i];
  }
  return out;
}

// piece with its value replaced, its name kept as written.
std::string withValue(const std::string& piece, std::string_view value) {
  return piece.substr(0, piece.find('=') + 1).append(value);
}

}  // namespace

std::string ConnectDatabase(std::string_view connect) {
  for (const std::string& piece : pieces(connect)) {
    if (named(piece, kDatabase))
      return piece.substr(piece.find('=') + 1);
  }
  return {};
}

std::string ConnectWithDatabase(std::string_view connect, std::string_view path) {
  std::vector<std::string> parts = pieces(connect);
  for (std::string& piece : parts) {
    if (named(piece, kDatabase)) {
      piece = withValue(piece, path);
      return joined(parts);
    }
  }
  return joined(parts) + ";" + std::string(kDatabase) + "=" + std::string(path);
}

std::string ShownConnect(std::string_view connect) {
  std::vector<std::string> parts = pieces(connect);
  for (std::string& piece : parts) {
    if (named(piece, kPassword))
      piece = withValue(piece, kHidden);
  }
  return joined(parts);
}

}  // namespace dao
