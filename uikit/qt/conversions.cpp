#include "uikit/qt/conversions.h"

#include <cmath>

#include <QStringList>

namespace uikit::qt {

int twipsToPixels(int twips, double scale) {
  return static_cast<int>(std::lround(twips * scale / 15.0));
}

QString displayText(const std::string& text) {
  QString s = QString::fromStdString(text);
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  s.replace(QChar('\r'), QChar('\n'));
  return s;
}

std::string modelText(const QString& text) {
  QString s = text;
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  s.replace(QChar('\n'), QStringLiteral("\r\n"));
  return s.toStdString();
}

std::string stripAccessKeys(const std::string& caption) {
  std::string out;
  out.reserve(caption.size());
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size())
      ++i;  // "&x" -> "x", "&&" -> "&"
    out += caption[i];
  }
  return out;
}

bool hasAccessKey(const std::string& caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&')
      continue;
    if (caption[i + 1] != '&')
      return true;
    ++i;
  }
  return false;
}

namespace {

// "All Files (*.*)" -> "All Files": Qt takes the patterns from a trailing parenthesis, so a
// description keeps none of its own.
QString bareDescription(QString description) {
  description = description.trimmed();
  if (description.endsWith(QChar(')'))) {
    const qsizetype open = description.lastIndexOf(QChar('('));
    if (open >= 0)
      description = description.left(open).trimmed();
  }
  return description;
}

}  // namespace

QString qtFileFilter(const std::string& filter, int filterIndex, QString* selected) {
  if (selected)
    selected->clear();
  const QStringList parts = QString::fromStdString(filter).split(QChar('|'));
  QStringList entries;
  // Pairs of description and patterns; a trailing description without patterns is incomplete
  // and dropped, as the classic dialog ignores it too.
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const bool wanted = filterIndex == i / 2 + 1;  // counts the classic pairs, kept or not
    QStringList patterns;
    for (QString p : parts[i + 1].split(QChar(';'), Qt::SkipEmptyParts)) {
      p = p.trimmed();
      if (p.isEmpty())
        continue;
      if (p == QStringLiteral("*.*"))
        p = QStringLiteral("*");
      if (!patterns.contains(p))
        patterns << p;
    }
    if (patterns.isEmpty())
      continue;
    QString description = bareDescription(parts[i]);
    if (description.isEmpty())
      description = patterns.join(QChar(' '));
    entries << description + QStringLiteral(" (") + patterns.join(QChar(' ')) + QChar(')');
    if (wanted && selected)
      *selected = entries.back();
  }
  return entries.join(QStringLiteral(";;"));
}

}  // namespace uikit::qt
