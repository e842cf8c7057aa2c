#include "uikit/qt/pictures.h"

#include <algorithm>
#include <cctype>

#include <QApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>

namespace uikit::qt {
namespace {

std::string lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

bool mentions(const std::string& name, const char* word) {
  return name.find(word) != std::string::npos;
}

void drawMarker(QPainter& p, const QRectF& r) {
  // A right-pointing arrow filling the smaller side, centred: it sits left of the option it
  // recommends.
  const qreal side = std::min(r.width(), r.height()) * 0.9;
  const QRectF box(r.center().x() - side / 2, r.center().y() - side / 2, side, side);
  QPainterPath arrow;
  arrow.moveTo(box.left(), box.top() + side * 0.3);
  arrow.lineTo(box.left() + side * 0.5, box.top() + side * 0.3);
  arrow.lineTo(box.left() + side * 0.5, box.top());
  arrow.lineTo(box.right(), box.center().y());
  arrow.lineTo(box.left() + side * 0.5, box.bottom());
  arrow.lineTo(box.left() + side * 0.5, box.top() + side * 0.7);
  arrow.lineTo(box.left(), box.top() + side * 0.7);
  arrow.closeSubpath();
  p.setPen(QPen(QColor(0, 90, 0), 1));
  p.setBrush(QColor(40, 170, 60));
  p.drawPath(arrow);
}

void drawSidePanel(QPainter& p, const QRectF& r) {
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, QColor(20, 50, 120));
  g.setColorAt(1, QColor(90, 140, 210));
  p.fillRect(r, g);
  // Two database drums joined by a link: what the wizard is about.
  const qreal w = r.width() * 0.36, h = w * 0.9;
  auto drum = [&](QPointF topLeft) {
    const QRectF body(topLeft, QSizeF(w, h));
    const qreal cap = h * 0.25;
    p.setPen(QPen(QColor(230, 235, 245), 1.5));
    p.setBrush(QColor(200, 210, 230));
    p.drawRect(QRectF(body.left(), body.top() + cap / 2, w, h - cap));
    p.drawEllipse(QRectF(body.left(), body.bottom() - cap, w, cap));
    p.setBrush(QColor(240, 244, 250));
    p.drawEllipse(QRectF(body.left(), body.top(), w, cap));
  };
  const QPointF a(r.left() + r.width() * 0.1, r.top() + r.height() * 0.12);
  const QPointF b(r.right() - r.width() * 0.1 - w, a.y() + h * 1.6);
  p.setPen(QPen(QColor(255, 210, 80), 3, Qt::DashLine));
  p.drawLine(QPointF(a.x() + w / 2, a.y() + h), QPointF(b.x() + w / 2, b.y()));
  drum(a);
  drum(b);
}

void drawPlaceholder(QPainter& p, const QRectF& r) {
  p.fillRect(r, QColor(235, 235, 235));
  p.setPen(QPen(QColor(150, 150, 150), 1));
  p.drawRect(r.adjusted(0.5, 0.5, -0.5, -0.5));
  p.drawLine(r.topLeft(), r.bottomRight());
  p.drawLine(r.topRight(), r.bottomLeft());
}

// The link status pictures, drawn on a 16 x 12 grid scaled to r: a green tick, a red cross, a
// yellow question mark, a red exclamation mark and black letters N/A.
bool drawStatus(QPainter& p, const QRectF& r, const std::string& name) {
  p.save();
  p.translate(r.topLeft());
  p.scale(r.width() / 16.0, r.height() / 12.0);
  bool known = true;
  if (name == "status-pass") {
    p.setPen(QPen(QColor(0, 150, 0), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF({QPointF(3, 6.5), QPointF(6.5, 10), QPointF(13, 2)}));
  } else if (name == "status-fail") {
    p.setPen(QPen(QColor(210, 0, 0), 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(4, 2), QPointF(12, 10));
    p.drawLine(QPointF(12, 2), QPointF(4, 10));
  } else if (name == "status-uncertain" || name == "status-childfail") {
    const bool question = name == "status-uncertain";
    QFont font = p.font();
    font.setWeight(QFont::Black);
    font.setPixelSize(14);
    // Outlined, so that the yellow stands out on a white tree as well as on a grey face.
    QPainterPath glyph;
    glyph.addText(0, 0, font, question ? "?" : "!");
    const QRectF box = glyph.boundingRect();
    glyph.translate(8 - box.center().x(), 6 - box.center().y());
    p.setPen(QPen(question ? QColor(120, 90, 0) : QColor(120, 0, 0), 0.8));
    p.setBrush(question ? QColor(250, 200, 0) : QColor(220, 0, 0));
    p.drawPath(glyph);
  } else if (name == "status-notapp") {
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(8);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QRectF(0, 0, 16, 12), Qt::AlignCenter, "N/A");
  } else {
    known = false;
  }
  p.restore();
  return known;
}

}  // namespace

QPixmap picturePixmap(const std::string& image, QSize size, qreal ratio) {
  if (size.width() <= 0 || size.height() <= 0)
    size = QSize(16, 16);
  QPixmap pixmap(size * std::max<qreal>(ratio, 1.0));
  pixmap.setDevicePixelRatio(std::max<qreal>(ratio, 1.0));
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF r(QPointF(0, 0), QSizeF(size));
  const std::string name = lower(image);
  if (name.empty())
    return pixmap;  // a plain picture box: its background colour is all there is
  if (drawStatus(p, r, name))
    return pixmap;
  if (name == "marker")
    drawMarker(p, r);
  else if (name == "side")
    drawSidePanel(p, r);
  else
    drawPlaceholder(p, r);
  return pixmap;
}

QIcon appIcon() {
  static const QIcon icon = [] {
    QIcon drawn;
    for (int side : {16, 24, 32, 48, 64, 128}) {
      QPixmap pixmap(side, side);
      pixmap.fill(Qt::transparent);
      QPainter p(&pixmap);
      p.setRenderHint(QPainter::Antialiasing);
      QPainterPath tile;
      tile.addRoundedRect(QRectF(0, 0, side, side), side * 0.18, side * 0.18);
      p.setClipPath(tile);
      drawSidePanel(p, QRectF(0, 0, side, side));
      drawn.addPixmap(pixmap);
    }
    return drawn;
  }();
  return icon;
}

QIcon nodeIcon(const std::string& name) {
  const std::string n = lower(name);
  if (n.rfind("status-", 0) == 0)
    return QIcon(picturePixmap(n, QSize(16, 12)));
  QStyle::StandardPixmap which = QStyle::SP_FileIcon;
  if (mentions(n, "open"))
    which = QStyle::SP_DirOpenIcon;
  else if (mentions(n, "folder") || mentions(n, "dir") || mentions(n, "closed"))
    which = QStyle::SP_DirClosedIcon;
  else if (mentions(n, "net"))
    which = QStyle::SP_DriveNetIcon;
  else if (mentions(n, "cd"))
    which = QStyle::SP_DriveCDIcon;
  else if (mentions(n, "drive") || mentions(n, "disk"))
    which = QStyle::SP_DriveHDIcon;
  else if (mentions(n, "computer") || mentions(n, "root"))
    which = QStyle::SP_ComputerIcon;
  return QApplication::style()->standardIcon(which);
}

}  // namespace uikit::qt
