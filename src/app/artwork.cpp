#include "app/artwork.h"

#include <QHash>
#include <QPainter>
#include <QPixmapCache>
#include <QSvgRenderer>

namespace corvane {

QString artwork_path(Artwork art) {
  switch (art) {
    case Artwork::AppIcon:
      return QStringLiteral(":/corvane/artwork/app_icon.svg");
    case Artwork::StatusTab:
      return QStringLiteral(":/corvane/artwork/tab_activity.svg");
    case Artwork::HeartRateTab:
      return QStringLiteral(":/corvane/artwork/tab_heart.svg");
    case Artwork::ExportTab:
      return QStringLiteral(":/corvane/artwork/tab_output.svg");
    case Artwork::StatusTile:
      return QStringLiteral(":/corvane/artwork/tile_activity.svg");
    case Artwork::HeartRateTile:
      return QStringLiteral(":/corvane/artwork/tile_heart.svg");
    case Artwork::ExportTile:
      return QStringLiteral(":/corvane/artwork/tile_output.svg");
    case Artwork::MainMenuButton:
      return QStringLiteral(":/corvane/artwork/main_menu_button.svg");
    case Artwork::CloseMark:
      return QStringLiteral(":/corvane/artwork/close_mark.svg");
    case Artwork::MinimiseMark:
      return QStringLiteral(":/corvane/artwork/minimise_mark.svg");
  }
  return {};
}

QPixmap artwork_pixmap(Artwork art, QSize size, qreal device_pixel_ratio) {
  const QString path = artwork_path(art);
  if (path.isEmpty() || size.isEmpty()) return {};
  const QString key = QStringLiteral("corvane-art-%1-%2x%3@%4")
                          .arg(static_cast<int>(art))
                          .arg(size.width())
                          .arg(size.height())
                          .arg(device_pixel_ratio);
  QPixmap pixmap;
  if (QPixmapCache::find(key, &pixmap)) return pixmap;

  QSvgRenderer renderer(path);
  if (!renderer.isValid()) return {};
  QImage image(size * device_pixel_ratio, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
  }
  pixmap = QPixmap::fromImage(image);
  pixmap.setDevicePixelRatio(device_pixel_ratio);
  QPixmapCache::insert(key, pixmap);
  return pixmap;
}

QIcon app_icon() {
  QIcon icon;
  for (int s : {16, 22, 24, 32, 48, 64, 128, 180, 256})
    icon.addPixmap(artwork_pixmap(Artwork::AppIcon, QSize(s, s)));
  return icon;
}

}  // namespace corvane
