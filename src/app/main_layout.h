#pragma once

#include <QPoint>
#include <QRect>
#include <QString>
#include <array>

namespace corvane {

inline constexpr int kWindowWidth = 1010;
inline constexpr int kWindowHeight = 680;
// The tab area: the three tab buttons above the page area where the current page stands.
inline const QRect kTabArea{20, 20, 965, 600};
inline constexpr int kTabHeight = 80;
// Where the pages stand (the tab area without its tab row and a 2-pixel frame).
inline const QRect kPageArea{kTabArea.left() + 2, kTabArea.top() + kTabHeight + 2, kTabArea.width() - 4,
                             kTabArea.height() - kTabHeight - 4};

// Artwork ids of the drawn buttons and of the program icon.
namespace artwork_id {
inline constexpr int kAppIcon = 128;
inline constexpr int kTabActivity = 142;
inline constexpr int kTabHeart = 143;
inline constexpr int kTabOutput = 144;
inline constexpr int kTileActivity = 146;
inline constexpr int kTileHeart = 147;
inline constexpr int kTileOutput = 148;
inline constexpr int kMainMenuButton = 151;
inline constexpr int kCloseMark = 154;
inline constexpr int kMinimiseMark = 156;
}  // namespace artwork_id

// The nine buttons the main window draws itself, by number: 0-2 tab buttons, 3-5 main-menu tiles,
// 6 "メインメニュー", 7 close (hides into the tray), 8 minimise. The number is also the argument of
// select-page that a click on the button performs.
inline constexpr int kDrawnButtonCount = 9;
inline constexpr int kMainMenuButton = 6;
inline constexpr int kHideButton = 7;
inline constexpr int kMinimiseButton = 8;

struct DrawnButton {
  QRect rect;
  bool visible = false;
  bool hovered = false;
  QString label;
  int image = 0;
};

// What select-page asks of the window besides showing the pages the layout names.
enum class WindowAction { Repaint, Hide, Minimise };

// The main window's drawn buttons and which page is current: the part of the main window that decides,
// kept apart from the part that draws so that it can be checked without a screen.
class MainLayout final {
 public:
  //! Lays the buttons out from the page area's top-left corner (L, T) and shows the main menu.
  explicit MainLayout(QPoint page_area_top_left = kPageArea.topLeft());

  //! 0-2: make that page current; 3-5: leave the main menu, then as 0-2; 6: back to the main menu;
  //! 7: hide the window; 8: minimise it. Other numbers change nothing and ask for a repaint.
  WindowAction select_page(int number);

  //! The number of the visible button under `pos`, or -1. Later buttons lie over earlier ones.
  int hit_test(QPoint pos) const;

  //! Marks the button under `pos` as hovered (and the others not); true when anything changed.
  bool hover(QPoint pos);

  const DrawnButton& button(int number) const { return buttons_.at(static_cast<std::size_t>(number)); }
  int current_page() const { return current_page_; }
  bool page_visible(int page) const { return pages_visible_.at(static_cast<std::size_t>(page)); }
  bool in_main_menu() const { return buttons_[3].visible; }
  //! The top of the current page's tab button; the two others sit 8 pixels lower.
  int tab_button_top() const { return tab_top_; }

 private:
  void set_tab_button_tops();

  std::array<DrawnButton, kDrawnButtonCount> buttons_;
  std::array<bool, 3> pages_visible_{};
  int current_page_ = 0;
  int tab_top_ = 0;
};

}  // namespace corvane
