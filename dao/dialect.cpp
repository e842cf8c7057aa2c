// Statement text: quoting helpers and the translation of the desktop-database dialect into
// SQLite's. Callers build statements the classic way ("DELETE * FROM t", "DELETE t.* FROM a
// INNER JOIN t ON ...", "text" in double quotes, True and False, & for concatenation); SQLite
// accepts most of that dialect as it is, so the translation only rewrites what it would refuse
// or read differently. It works on tokens, so quoted text and bracketed names are never touched.
#include <cctype>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dao/connect.h"
#include "dao/dao.h"
#include "dao/internal.h"

namespace dao {

std::string QuoteText(std::string_view text) {
  std::string out = "'";
  for (char c : text) {
    out += c;
    if (c == '\'')
      out += '\'';
  }
  out += '\'';
  return out;
}

std::string BracketName(std::string_view name) {
  std::string out = "[";
  for (char c : name) {
    out += c;
    if (c == ']')
      out += ']';
  }
  out += ']';
  return out;
}

namespace detail {

namespace {
// ASCII only, whatever the process's locale: names compare as SQLite's NOCASE compares them.
char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
}  // namespace

std::string FoldCase(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    c = Lower(c);
  return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i]))
      return false;
  }
  return true;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

bool NoCaseLess::operator()(std::string_view a, std::string_view b) const {
  std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    char x = Lower(a[i]), y = Lower(b[i]);
    if (x != y)
      return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
  }
  return a.size() < b.size();
}

std::string Ident(std::string_view name) {
  std::string out = "\"";
  for (char c : name) {
    out += c;
    if (c == '"')
      out += '"';
  }
  out += '"';
  return out;
}

std::string ConnectPath(std::string_view connect) {
  return ConnectDatabase(connect);
}

std::string FileUri(const std::string& path, bool readOnly, bool immutable) {
  // Every byte outside the unreserved set is percent-encoded, so '?', '#' and '%' in a file
  // name stay part of the name. An absolute path gets an empty authority ("file://" + path),
  // which also keeps a path starting with "//" from reading as a host name.
  static const char kHex[] = "0123456789ABCDEF";
  std::string out = path.starts_with('/') ? "file://" : "file:";
  for (unsigned char c : path) {
    if (std::isalnum(c) || c == '/' || c == '-' || c == '.' || c == '_' || c == '~') {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  out += readOnly ? "?mode=ro" : "?mode=rw";
  if (readOnly && immutable)
    out += "&immutable=1";
  return out;
}

// ---------------------------------------------------------------------------------------------
// Tokens

namespace {

enum class Tok { Space, Comment, Word, Bracket, String, DoubleQuoted, Number, Punct };

struct Token {
  Tok kind;
  std::string text;   // as written
  std::string value;  // names: the name itself; double-quoted: the text inside
};

std::vector<Token> Tokenize(std::string_view sql) {
  std::vector<Token> tokens;
  std::size_t i = 0;
  const std::size_t n = sql.size();
  auto isWordStart = [](unsigned char c) { return std::isalpha(c) || c == '_' || c >= 0x80; };
  auto isWordChar = [](unsigned char c) {
    return std::isalnum(c) || c == '_' || c == '$' || c >= 0x80;
  };
  while (i < n) {
    const std::size_t start = i;
    const unsigned char c = static_cast<unsigned char>(sql[i]);
    if (std::isspace(c)) {
      while (i < n && std::isspace(static_cast<unsigned char>(sql[i])))
        ++i;
      tokens.push_back({Tok::Space, std::string(sql.substr(start, i - start)), ""});
    } else if (c == '-' && i + 1 < n && sql[i + 1] == '-') {
      while (i < n && sql[i] != '\n')
        ++i;
      tokens.push_back({Tok::Comment, std::string(sql.substr(start, i - start)), ""});
    } else if (c == '/' && i + 1 < n && sql[i + 1] == '*') {
      auto close = sql.find("*/", i + 2);
      i = close == std::string_view::npos ? n : close + 2;
      tokens.push_back({Tok::Comment, std::string(sql.substr(start, i - start)), ""});
    } else if (c == '[') {
      // "]]" stands for one "]" inside the name, as BracketName writes it.
      std::string name;
      ++i;
      bool closed = false;
      while (i < n) {
        if (sql[i] == ']') {
          if (i + 1 < n && sql[i + 1] == ']') {
            name += ']';
            i += 2;
            continue;
          }
          ++i;
          closed = true;
          break;
        }
        name += sql[i++];
      }
      if (!closed) {
        tokens.push_back({Tok::Punct, std::string(sql.substr(start)), ""});
      } else {
        tokens.push_back({Tok::Bracket, std::string(sql.substr(start, i - start)), name});
      }
    } else if (c == '\'' || c == '"' || c == '`') {
      std::string inner;
      ++i;
      while (i < n) {
        if (static_cast<unsigned char>(sql[i]) == c) {
          if (i + 1 < n && static_cast<unsigned char>(sql[i + 1]) == c) {
            inner += sql[i];
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        inner += sql[i++];
      }
      Tok kind = c == '\'' ? Tok::String : c == '"' ? Tok::DoubleQuoted : Tok::Bracket;
      tokens.push_back({kind, std::string(sql.substr(start, i - start)), inner});
    } else if (std::isdigit(c) ||
               (c == '.' && i + 1 < n && std::isdigit(static_cast<unsigned char>(sql[i + 1])))) {
      while (i < n &&
             (std::isalnum(static_cast<unsigned char>(sql[i])) || sql[i] == '.' ||
              ((sql[i] == '+' || sql[i] == '-') && (sql[i - 1] == 'e' || sql[i - 1] == 'E'))))
        ++i;
      tokens.push_back({Tok::Number, std::string(sql.substr(start, i - start)), ""});
    } else if (isWordStart(c)) {
      while (i < n && isWordChar(static_cast<unsigned char>(sql[i])))
        ++i;
      std::string word(sql.substr(start, i - start));
      tokens.push_back({Tok::Word, word, word});
    } else {
      static const char* kTwo[] = {"||", "<>", "<=", ">=", "==", "!=", "<<", ">>"};
      std::size_t len = 1;
      for (const char* two : kTwo) {
        if (sql.substr(i, 2) == two)
          len = 2;
      }
      i += len;
      tokens.push_back({Tok::Punct, std::string(sql.substr(start, len)), ""});
    }
  }
  return tokens;
}

bool Significant(const Token& t) {
  return t.kind != Tok::Space && t.kind != Tok::Comment;
}
bool IsName(const Token& t) {
  return t.kind == Tok::Word || t.kind == Tok::Bracket;
}
bool IsWord(const Token& t, std::string_view word) {
  return t.kind == Tok::Word && EqualsNoCase(t.text, word);
}
bool IsPunct(const Token& t, std::string_view p) {
  return t.kind == Tok::Punct && t.text == p;
}

// Indices of the significant tokens, so patterns can be matched across spaces and comments.
std::vector<std::size_t> SignificantIndices(const std::vector<Token>& tokens) {
  std::vector<std::size_t> out;
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    if (Significant(tokens[i]))
      out.push_back(i);
  }
  return out;
}

// A name as SQLite should read it. SQLite's brackets know no "]]" escape, so a name holding
// "]" goes out in double quotes (strict identifiers are enabled on every connection).
std::string EmitName(const Token& t) {
  if (t.kind == Tok::Bracket && t.value.find(']') != std::string::npos)
    return Ident(t.value);
  return t.text;
}

std::string Emit(const std::vector<Token>& tokens, std::size_t from, std::size_t to) {
  std::string out;
  for (std::size_t i = from; i < to; ++i) {
    const Token& t = tokens[i];
    out += t.kind == Tok::Bracket ? EmitName(t) : t.text;
  }
  return out;
}

// The token-level rewrites that apply anywhere in a statement.
void RewriteTokens(std::vector<Token>& tokens) {
  const Token* previous = nullptr;  // previous significant token
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    Token& t = tokens[i];
    if (!Significant(t))
      continue;
    const Token* next = nullptr;
    for (std::size_t j = i + 1; j < tokens.size(); ++j) {
      if (Significant(tokens[j])) {
        next = &tokens[j];
        break;
      }
    }
    if (t.kind == Tok::DoubleQuoted) {
      // Double quotes delimit text in this dialect.
      t.text = QuoteText(t.value);
      t.kind = Tok::String;
    } else if (t.kind == Tok::Word &&
               (EqualsNoCase(t.text, "True") || EqualsNoCase(t.text, "False"))) {
      // True is -1 here; SQLite's TRUE would be 1 and miss every stored Boolean.
      bool qualified = (previous && IsPunct(*previous, ".")) ||
                       (next && (IsPunct(*next, ".") || IsPunct(*next, "(")));
      if (!qualified)
        t.text = EqualsNoCase(t.text, "True") ? "-1" : "0";
    } else if (IsPunct(t, "&")) {
      t.text = "||";  // text concatenation; SQLite's & is a bitwise and
    } else if (t.kind == Tok::String && previous && IsWord(*previous, "LIKE")) {
      // The dialect's wildcards are * and ?.
      std::string pattern;
      for (char c : t.value)
        pattern += c == '*' ? '%' : c == '?' ? '_' : c;
      t.text = QuoteText(pattern);
    }
    previous = &t;
  }
}

}  // namespace

std::string TranslateStatement(std::string_view sql) {
  std::vector<Token> tokens = Tokenize(sql);
  RewriteTokens(tokens);
  std::vector<std::size_t> sig = SignificantIndices(tokens);
  auto at = [&](std::size_t k) -> const Token* {
    return k < sig.size() ? &tokens[sig[k]] : nullptr;
  };

  // SELECT DISTINCTROW / DELETE DISTINCTROW: the keyword changes nothing SQLite needs to know.
  if (at(1) && IsWord(*at(1), "DISTINCTROW") &&
      (IsWord(*at(0), "SELECT") || IsWord(*at(0), "DELETE"))) {
    tokens.erase(tokens.begin() + static_cast<std::ptrdiff_t>(sig[1]));
    if (sig[1] < tokens.size() && tokens[sig[1]].kind == Tok::Space)
      tokens.erase(tokens.begin() + static_cast<std::ptrdiff_t>(sig[1]));
    sig = SignificantIndices(tokens);
  }

  if (at(0) && IsWord(*at(0), "DELETE")) {
    // DELETE * FROM t ...  ->  DELETE FROM t ...
    if (at(1) && IsPunct(*at(1), "*") && at(2) && IsWord(*at(2), "FROM")) {
      return Emit(tokens, 0, sig[1]) + Emit(tokens, sig[2], tokens.size());
    }
    // DELETE x.* FROM <rest>  ->  DELETE FROM <table of x> WHERE rowid IN
    //                             (SELECT x.rowid FROM <rest>)
    if (at(1) && IsName(*at(1)) && at(2) && IsPunct(*at(2), ".") && at(3) && IsPunct(*at(3), "*") &&
        at(4) && IsWord(*at(4), "FROM")) {
      const Token& target = *at(1);
      // x may be an alias: "<table> AS x" or "<table> x" in the FROM clause.
      std::string table = EmitName(target);
      for (std::size_t k = 5; k < sig.size(); ++k) {
        const Token& t = *at(k);
        if (!IsName(t) || !EqualsNoCase(t.value, target.value))
          continue;
        std::size_t p = k - 1;
        if (IsWord(*at(p), "AS"))
          --p;
        if (p > 4 && IsName(*at(p)) && p != k && !IsWord(*at(p), "JOIN") &&
            !IsWord(*at(p), "FROM") && !IsWord(*at(p), "ON")) {
          table = EmitName(*at(p));
        }
        break;
      }
      // The rest of the statement, without a trailing ";".
      std::size_t end = tokens.size();
      while (end > sig[4] + 1 && (!Significant(tokens[end - 1]) || IsPunct(tokens[end - 1], ";")))
        --end;
      return Emit(tokens, 0, sig[1]) + "FROM " + table + " WHERE rowid IN (SELECT " +
             EmitName(target) + ".rowid " + Emit(tokens, sig[4], end) + ")";
    }
  }
  return Emit(tokens, 0, tokens.size());
}

bool HasAggregateShape(std::string_view sql) {
  static const char* kKeywords[] = {"DISTINCT", "GROUP", "UNION",  "INTERSECT", "EXCEPT",
                                    "HAVING",   "WITH",  "VALUES", "WINDOW",    "OVER"};
  static const char* kAggregates[] = {"COUNT", "SUM", "MIN", "MAX", "AVG", "TOTAL", "GROUP_CONCAT"};
  std::vector<Token> tokens = Tokenize(sql);
  std::vector<std::size_t> sig = SignificantIndices(tokens);
  for (std::size_t k = 0; k < sig.size(); ++k) {
    const Token& t = tokens[sig[k]];
    if (t.kind != Tok::Word)
      continue;
    for (const char* word : kKeywords) {
      if (EqualsNoCase(t.text, word))
        return true;
    }
    bool call = k + 1 < sig.size() && IsPunct(tokens[sig[k + 1]], "(");
    for (const char* word : kAggregates) {
      if (call && EqualsNoCase(t.text, word))
        return true;
    }
  }
  return false;
}

std::optional<std::string> InsertAfterSelect(std::string_view sql, std::string_view columns) {
  std::vector<Token> tokens = Tokenize(sql);
  std::vector<std::size_t> sig = SignificantIndices(tokens);
  if (sig.empty() || !IsWord(tokens[sig[0]], "SELECT"))
    return std::nullopt;
  std::size_t after = sig[0] + 1;
  return Emit(tokens, 0, after) + " " + std::string(columns) + Emit(tokens, after, tokens.size());
}

std::optional<std::string> BareTableName(std::string_view sql) {
  std::vector<Token> tokens = Tokenize(sql);
  std::vector<std::size_t> sig = SignificantIndices(tokens);
  if (sig.size() != 1)
    return std::nullopt;
  const Token& t = tokens[sig[0]];
  if (t.kind == Tok::Bracket)
    return t.value;
  if (t.kind != Tok::Word)
    return std::nullopt;
  static const char* kKeywords[] = {"SELECT",  "DELETE", "UPDATE",   "INSERT", "CREATE", "DROP",
                                    "ALTER",   "BEGIN",  "COMMIT",   "END",    "VACUUM", "ANALYZE",
                                    "REINDEX", "PRAGMA", "ROLLBACK", "VALUES", "WITH"};
  for (const char* k : kKeywords) {
    if (EqualsNoCase(t.text, k))
      return std::nullopt;
  }
  return t.value;
}

}  // namespace detail
}  // namespace dao
