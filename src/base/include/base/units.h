#pragma once

namespace corvane {

// Cursor travel is counted in mouse units: 1600 per inch, so 62992 make one metre.
inline constexpr double kMouseUnitsPerMetre = 62992.0;
inline constexpr int kDisplayDpi = 1600;

}  // namespace corvane
