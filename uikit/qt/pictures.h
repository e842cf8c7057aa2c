// Artwork for pictures and tree images. The window models name their images ("marker", "side",
// "folder") instead of carrying bitmaps, so the driver draws a recognisable stand-in for each
// name and a neutral placeholder for names it does not know.
#pragma once

#include <string>

#include <QIcon>
#include <QPixmap>
#include <QSize>

namespace uikit::qt {

// A picture control's content at size: "marker" is an arrow pointing at what it marks, "side"
// a wizard's side panel, "status-pass", "status-fail", "status-uncertain", "status-childfail"
// and "status-notapp" the link status pictures, "" nothing (a plain box), anything else a
// framed box with a cross.
// The pixmap holds size times ratio device pixels (the screen's device pixel ratio), so pictures
// stay sharp where Qt's high-DPI scaling enlarges the window.
QPixmap picturePixmap(const std::string& image, QSize size, qreal ratio = 1.0);

// The application's icon: the wizard's two linked database drums on a blue tile, at the usual
// icon sizes.
QIcon appIcon();

// A small icon for a tree node whose image (the image list's picture name, else its key) is
// name: the link status pictures as themselves (16 x 12); folders, drives, the computer and
// network places use the style's own icons, anything else a document.
QIcon nodeIcon(const std::string& name);

}  // namespace uikit::qt
