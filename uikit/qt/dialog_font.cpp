#include "uikit/qt/dialog_font.h"

#include <algorithm>

#include <QApplication>
#include <QFontMetricsF>

namespace uikit::qt {

QFont dialogFont() {
  return QApplication::font();
}

double layoutScale(const QFont& font) {
  const QFontMetricsF metrics(font);
  const QString text = QString::fromLatin1(kRunningText);
  const double charWidth = metrics.horizontalAdvance(text) / text.size();
  return std::max({1.0, charWidth / kClassicTextWidth, metrics.height() / kClassicLineHeight});
}

}  // namespace uikit::qt
