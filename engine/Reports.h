// The three ways the component reports an unexpected failure to the user. Each is a message box
// with a single OK button shown through the desktop; the caller then runs its clean-up.
#pragma once

#include <string>

namespace dao {
class Error;
}

namespace orvanta {

// Engine procedures, public members and window handlers: the error's description, information
// icon, title "<procedure> - <number>".
void reportEngineError(const std::string& procedure, int number, const std::string& description);
void reportEngineError(const std::string& procedure, const dao::Error& error);

// Path and scoring procedures (and a few handlers): text "<procedure> - <description>: <number>",
// critical icon, title "<procedure>".
void reportModuleError(const std::string& procedure, int number, const std::string& description);
void reportModuleError(const std::string& procedure, const dao::Error& error);

// The folder search: text "Error: <number> - <description>", no icon, title "Unexpected Error".
void reportSearchError(int number, const std::string& description);

}  // namespace orvanta
