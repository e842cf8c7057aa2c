#include "engine/Reports.h"

#include <string>

#include "dao/dao.h"
#include "uikit/desktop.h"

namespace orvanta {

void reportEngineError(const std::string& procedure, int number, const std::string& description) {
  uikit::MsgBox(description, uikit::Buttons::OK, uikit::Icon::Information,
                procedure + " - " + std::to_string(number));
}

void reportEngineError(const std::string& procedure, const dao::Error& error) {
  reportEngineError(procedure, error.Number(), error.Description());
}

void reportModuleError(const std::string& procedure, int number, const std::string& description) {
  uikit::MsgBox(procedure + " - " + description + ": " + std::to_string(number), uikit::Buttons::OK,
                uikit::Icon::Critical, procedure);
}

void reportModuleError(const std::string& procedure, const dao::Error& error) {
  reportModuleError(procedure, error.Number(), error.Description());
}

void reportSearchError(int number, const std::string& description) {
  uikit::MsgBox("Error: " + std::to_string(number) + " - " + description, uikit::Buttons::OK,
                uikit::Icon::None, "Unexpected Error");
}

}  // namespace orvanta
