#pragma once

#include <QByteArray>
#include <QFont>
#include <QString>
#include <QStringList>
#include <array>

namespace corvane {

// The eight fonts every page draws with, by what they are for; all of one face, regular weight.
enum class FontRole {
  Unit,     // units beside figures ("bpm")
  Caption,  // legends, axis labels, captions, the disclaimer
  Body,     // buttons, labels, rows
  Heading,  // page headings, tile labels, the heart page's message
  Title,    // the product name over the main menu
  Figure,   // the total travel
  Display,  // not drawn with today; kept so that the sizes stay one table
  Readout,  // the heart-rate readout
};
inline constexpr int kFontCount = 8;

// The face installed systems of the target desktop have; used as is when present.
inline constexpr const char* kPreferredFace = "Meiryo UI";

// Pixel sizes of the eight fonts, in the order of FontRole. The embedded font runs a little larger than
// "Meiryo UI", so its Figure size is 30 where an installed face uses 32.
inline constexpr std::array<int, kFontCount> kEmbeddedPixelSizes = {10, 12, 16, 20, 28, 30, 48, 64};
inline constexpr std::array<int, kFontCount> kInstalledPixelSizes = {10, 12, 16, 20, 28, 32, 48, 64};

// What start-up decided about fonts.
struct FontChoice {
  QString face;           // the family every page draws with (also a user-interface text)
  bool embedded = false;  // the face comes from the embedded font file
  std::array<int, kFontCount> pixel_sizes = kInstalledPixelSizes;
  QString error;  // "Font add fails" when the embedded font could not be added
};

//! True when a family of the list begins with "Meiryo UI".
bool preferred_face_installed(const QStringList& families);

//! Chooses the face: "Meiryo UI" when installed; otherwise the embedded font (added to the application's
//! font database); without embedded font data, the system's default family. Needs a QGuiApplication.
FontChoice choose_fonts(const QStringList& installed_families, const QByteArray& embedded_font);

// The process-wide table of the eight fonts that pages pick by role.
class FontTable final {
 public:
  void set(const FontChoice& choice);
  //! The font of `role` at its pixel size; a value outside FontRole gives the Unit font.
  const QFont& font(FontRole role) const;
  const QString& face() const { return face_; }
  bool embedded() const { return embedded_; }

 private:
  std::array<QFont, kFontCount> fonts_;
  QString face_;
  bool embedded_ = false;
};

FontTable& ui_fonts();

}  // namespace corvane
