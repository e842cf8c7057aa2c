// Field values and their conversions, with the rules desktop-database code expects: Null reads
// as "" or 0, text converts to a number only when it is one, whole numbers round half to even.
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

#include "dao/dao.h"
#include "dao/internal.h"

namespace dao {
namespace {

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
    text.remove_suffix(1);
  return text;
}

[[noreturn]] void Mismatch(std::string_view text) {
  detail::Fail(kErrTypeMismatch, "The text '" + std::string(text) + "' is not a number.");
}

// A number read from text; whole numbers stay exact.
struct Number {
  bool isInteger = false;
  long long integer = 0;
  double real = 0;
};

// Reads text as a decimal number; anything else is a type mismatch (error 13).
Number ParseNumber(std::string_view raw) {
  const std::string text(Trim(raw));
  if (text.empty())
    Mismatch(raw);
  errno = 0;
  char* end = nullptr;
  long long i = std::strtoll(text.c_str(), &end, 10);
  if (end && *end == '\0' && errno == 0)
    return {true, i, 0};
  errno = 0;
  double d = std::strtod(text.c_str(), &end);
  // strtod also accepts "inf", "nan" and hexadecimal forms; callers mean decimal numbers.
  if (!end || *end != '\0' || !std::isfinite(d))
    Mismatch(raw);
  for (char c : text) {
    if (std::isalpha(static_cast<unsigned char>(c)) && c != 'e' && c != 'E')
      Mismatch(raw);
  }
  return {false, 0, d};
}

long long RoundToInt64(double d) {
  double r = std::nearbyint(d);  // the default rounding mode rounds half to even
  if (!(r >= -9223372036854775808.0 && r < 9223372036854775808.0))
    detail::Fail(kErrOverflow, "The number is too large for a whole number.");
  return static_cast<long long>(r);
}

}  // namespace

std::string Value::AsString() const {
  switch (kind_) {
    case Kind::Null:
      return "";
    case Kind::Integer:
      return std::to_string(integer_);
    case Kind::Real: {
      char buffer[32];
      std::snprintf(buffer, sizeof buffer, "%.15g", real_);
      return buffer;
    }
    case Kind::Text:
      return text_;
  }
  return "";
}

long long Value::AsInt64() const {
  switch (kind_) {
    case Kind::Null:
      return 0;
    case Kind::Integer:
      return integer_;
    case Kind::Real:
      return RoundToInt64(real_);
    case Kind::Text: {
      const Number n = ParseNumber(text_);
      return n.isInteger ? n.integer : RoundToInt64(n.real);
    }
  }
  return 0;
}

std::int32_t Value::AsInt32() const {
  long long v = AsInt64();
  if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
    detail::Fail(kErrOverflow, "The number " + std::to_string(v) + " is too large for a Long.");
  return static_cast<std::int32_t>(v);
}

double Value::AsDouble() const {
  switch (kind_) {
    case Kind::Null:
      return 0;
    case Kind::Integer:
      return static_cast<double>(integer_);
    case Kind::Real:
      return real_;
    case Kind::Text: {
      const Number n = ParseNumber(text_);
      return n.isInteger ? static_cast<double>(n.integer) : n.real;
    }
  }
  return 0;
}

bool Value::AsBool() const {
  if (kind_ == Kind::Text) {
    std::string_view t = Trim(text_);
    if (detail::EqualsNoCase(t, "true"))
      return true;
    if (detail::EqualsNoCase(t, "false"))
      return false;
    return AsDouble() != 0;
  }
  if (kind_ == Kind::Real)
    return real_ != 0;
  return integer_ != 0;
}

bool Value::operator==(const Value& other) const {
  if (kind_ == Kind::Text || other.kind_ == Kind::Text)
    return kind_ == other.kind_ && text_ == other.text_;
  if (kind_ == Kind::Null || other.kind_ == Kind::Null)
    return kind_ == other.kind_;
  if (kind_ == Kind::Integer && other.kind_ == Kind::Integer)
    return integer_ == other.integer_;
  return AsDouble() == other.AsDouble();
}

}  // namespace dao
