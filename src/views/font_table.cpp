#include "views/font_table.h"

#include <QFontDatabase>

#include "base/user_texts.h"

namespace corvane {

bool preferred_face_installed(const QStringList& families) {
  for (const QString& family : families)
    if (family.startsWith(QLatin1String(kPreferredFace))) return true;
  return false;
}

FontChoice choose_fonts(const QStringList& installed_families, const QByteArray& embedded_font) {
  FontChoice choice;
  if (preferred_face_installed(installed_families)) {
    choice.face = QString::fromLatin1(kPreferredFace);
    return choice;
  }
  if (embedded_font.isEmpty()) {
    // No font data compiled in: draw with what the desktop offers.
    choice.face = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    return choice;
  }
  choice.embedded = true;
  choice.pixel_sizes = kEmbeddedPixelSizes;
  const int id = QFontDatabase::addApplicationFontFromData(embedded_font);
  const QStringList added = id < 0 ? QStringList{} : QFontDatabase::applicationFontFamilies(id);
  if (added.isEmpty()) {
    // The pages still name the family they asked for; Qt substitutes what it can.
    choice.error = QString::fromUtf8(user_text::kFontAddFails);
    choice.face = QStringLiteral("Corvane Sans JP");
  } else {
    choice.face = added.front();
  }
  return choice;
}

void FontTable::set(const FontChoice& choice) {
  face_ = choice.face;
  embedded_ = choice.embedded;
  for (int i = 0; i < kFontCount; ++i) {
    QFont f(face_);
    f.setStyle(QFont::StyleNormal);
    f.setWeight(QFont::Normal);
    f.setPixelSize(choice.pixel_sizes[static_cast<std::size_t>(i)]);
    fonts_[static_cast<std::size_t>(i)] = f;
  }
}

const QFont& FontTable::font(FontRole role) const {
  int index = static_cast<int>(role);
  if (index < 0 || index >= kFontCount) index = 0;
  return fonts_[static_cast<std::size_t>(index)];
}

FontTable& ui_fonts() {
  static FontTable table;
  return table;
}

}  // namespace corvane
