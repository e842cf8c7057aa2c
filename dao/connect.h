// Connect strings of linked tables. A connect string is an optional type ("" for the engine's own
// files) followed by ";"-separated name=value parts: ";DATABASE=C:\Data\Be.mdb;PWD=secret". The
// back-end file is the DATABASE part; the other parts (a password, options another tool wrote)
// belong to the link and travel with it unchanged.
//
// This is the one reader of the format: the layer resolving a link, the component judging and
// rewriting links, and every place that shows a link to a person go through it.
#pragma once

#include <string>
#include <string_view>

namespace dao {

// The value of the DATABASE part (its name in any letter case); "" when there is none. A piece
// between semicolons that is not itself name=value continues the part before it, so a path that
// contains ";" stays whole.
std::string ConnectDatabase(std::string_view connect);

// connect with its DATABASE part set to path and every other part as it was; a connect string
// without one gains ";DATABASE=<path>" at its end.
std::string ConnectWithDatabase(std::string_view connect, std::string_view path);

// connect as it may be shown or printed: the value of every PWD part replaced by "*****".
std::string ShownConnect(std::string_view connect);

}  // namespace dao
