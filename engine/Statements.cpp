#include <string>

#include "dao/dao.h"
#include "engine/Engine.h"

namespace orvanta {

std::string linksStatement(const std::string& setName) {
  return "SELECT TableName, DatabasePath "
         "FROM tblLinkedSets INNER JOIN tblLinkedTables ON tblLinkedSets.ID = "
         "tblLinkedTables.LinkSetID "
         "WHERE Name=" +
         sqlText(setName);
}

std::string sqlText(const std::string& text) {
  return dao::QuoteText(text);
}

std::string sqlName(const std::string& name) {
  return dao::BracketName(name);
}

std::string connectString(const std::string& backEndPath) {
  return kConnectPrefix + backEndPath;
}

std::string pathAfterEquals(const std::string& connect) {
  const auto equals = connect.find('=');
  return equals == std::string::npos ? std::string() : connect.substr(equals + 1);
}

}  // namespace orvanta
