#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace corvane {

// The program's pictures, each drawn from an SVG source of the resources.
enum class Artwork {
  AppIcon,
  StatusTab,  // the icons of the three tab buttons
  HeartRateTab,
  ExportTab,
  StatusTile,  // the three tiles of the main menu
  HeartRateTile,
  ExportTile,
  MainMenuButton,  // the background of "メインメニュー"
  CloseMark,
  MinimiseMark,
};
inline constexpr int kArtworkCount = 10;

//! The resource path of a picture; empty for a value outside Artwork.
QString artwork_path(Artwork art);

//! The picture rendered from its SVG source at `size` device-independent pixels for a screen of
//! `device_pixel_ratio`; rendered once per size and kept. A null pixmap for a value outside Artwork.
QPixmap artwork_pixmap(Artwork art, QSize size, qreal device_pixel_ratio = 1.0);

//! The program's icon at the usual icon sizes.
QIcon app_icon();

}  // namespace corvane
