#pragma once

#include <QColor>

namespace corvane::palette_colour {

// The program's colours, shared by the main window, the pages and the artwork (the SVG sources use
// the same values).
inline const QColor kBackground{0xEE, 0xF2, 0xF4};
inline const QColor kCard{0xFF, 0xFF, 0xFF};
inline const QColor kCardBorder{0xD5, 0xDD, 0xE2};
inline const QColor kInk{0x23, 0x2F, 0x36};
inline const QColor kMutedInk{0x6B, 0x7A, 0x83};
inline const QColor kAccent{0x1F, 0x7A, 0x80};  // teal: the program's own colour
inline const QColor kAccentLight{0xD7, 0xEE, 0xEF};
inline const QColor kHeart{0xE0, 0x4E, 0x5A};  // coral: heart rate
inline const QColor kData{0xF0, 0xA2, 0x02};   // amber: clicks and travel

}  // namespace corvane::palette_colour
