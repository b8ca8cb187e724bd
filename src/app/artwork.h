#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace corvane {

//! The resource path of an artwork id (128, 142-156); empty for an id the program has no image for.
QString artwork_path(int id);

//! The image of `id` rendered from its SVG source at `size` device-independent pixels for a screen of
//! `device_pixel_ratio`; rendered once per size and kept. A null pixmap for an unknown id.
QPixmap artwork_pixmap(int id, QSize size, qreal device_pixel_ratio = 1.0);

//! The program's icon (id 128) at the usual icon sizes.
QIcon app_icon();

}  // namespace corvane
