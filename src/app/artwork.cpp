#include "app/artwork.h"

#include <QHash>
#include <QPainter>
#include <QPixmapCache>
#include <QSvgRenderer>

namespace corvane {

QString artwork_path(int id) {
  switch (id) {
    case 128:
      return QStringLiteral(":/corvane/artwork/app_icon.svg");
    case 142:
      return QStringLiteral(":/corvane/artwork/tab_activity.svg");
    case 143:
      return QStringLiteral(":/corvane/artwork/tab_heart.svg");
    case 144:
      return QStringLiteral(":/corvane/artwork/tab_output.svg");
    case 146:
      return QStringLiteral(":/corvane/artwork/tile_activity.svg");
    case 147:
      return QStringLiteral(":/corvane/artwork/tile_heart.svg");
    case 148:
      return QStringLiteral(":/corvane/artwork/tile_output.svg");
    case 151:
      return QStringLiteral(":/corvane/artwork/main_menu_button.svg");
    case 154:
      return QStringLiteral(":/corvane/artwork/close_mark.svg");
    case 156:
      return QStringLiteral(":/corvane/artwork/minimise_mark.svg");
    default:
      return {};
  }
}

QPixmap artwork_pixmap(int id, QSize size, qreal device_pixel_ratio) {
  const QString path = artwork_path(id);
  if (path.isEmpty() || size.isEmpty()) return {};
  const QString key = QStringLiteral("corvane-art-%1-%2x%3@%4")
                          .arg(id)
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
    icon.addPixmap(artwork_pixmap(128, QSize(s, s)));
  return icon;
}

}  // namespace corvane
