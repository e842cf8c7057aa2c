#include <string>

#include "dao/connect.h"
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

std::string connectString(const std::string& backEndPath) {
  return kConnectPrefix + backEndPath;
}

std::string backEndPathOf(const std::string& connect) {
  return dao::ConnectDatabase(connect);
}

}  // namespace orvanta
