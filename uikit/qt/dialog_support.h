// What the files of FormDialog share: model text as a QString and the item data role under which
// a tree item keeps its node's position.
#pragma once

#include <string>

#include <QString>

#include "uikit/qt/conversions.h"

namespace uikit::qt {

inline constexpr int kNodeRole = Qt::UserRole;  // a tree item's 0-based position in nodes()

inline QString q(const std::string& s) {
  return QString::fromStdString(s);
}

}  // namespace uikit::qt
