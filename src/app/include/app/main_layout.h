#pragma once

#include <QPoint>
#include <QRect>
#include <QString>
#include <array>
#include <initializer_list>
#include <optional>

#include "app/artwork.h"

namespace corvane {

inline constexpr int kWindowWidth = 1010;
inline constexpr int kWindowHeight = 680;
// The tab area: the three tab buttons above the page area where the current page stands.
inline const QRect kTabArea{20, 20, 965, 600};
inline constexpr int kTabHeight = 80;
// Where the pages stand (the tab area without its tab row and a 2-pixel frame).
inline const QRect kPageArea{kTabArea.left() + 2, kTabArea.top() + kTabHeight + 2, kTabArea.width() - 4,
                             kTabArea.height() - kTabHeight - 4};

// The three pages of the tab area, in the order of their tab buttons.
enum class Page { Status, HeartRate, Export };
inline constexpr int kPageCount = 3;

// The buttons the main window draws itself. Later ones lie over earlier ones.
enum class WindowButton {
  StatusTab,  // the tab buttons over the page area, shown while a page is
  HeartRateTab,
  ExportTab,
  StatusTile,  // the tiles of the main menu
  HeartRateTile,
  ExportTile,
  MainMenu,  // "メインメニュー": back to the tiles
  Hide,      // the close mark: puts the window away into the tray
  Minimise,
};
inline constexpr int kWindowButtonCount = 9;

constexpr bool is_tab(WindowButton b) {
  return b <= WindowButton::ExportTab;
}
constexpr bool is_tile(WindowButton b) {
  return b >= WindowButton::StatusTile && b <= WindowButton::ExportTile;
}
//! The page a tab button or a tile opens.
constexpr Page page_of(WindowButton tab_or_tile) {
  return static_cast<Page>(static_cast<int>(tab_or_tile) % kPageCount);
}
constexpr WindowButton tab_of(Page page) {
  return static_cast<WindowButton>(static_cast<int>(page));
}
constexpr WindowButton tile_of(Page page) {
  return static_cast<WindowButton>(static_cast<int>(WindowButton::StatusTile) + static_cast<int>(page));
}

struct DrawnButton {
  QRect rect;
  bool visible = false;
  bool hovered = false;
  QString label;
  Artwork art = Artwork::AppIcon;
};

// What a pressed button asks of the window besides showing the pages the layout names.
enum class WindowAction { Repaint, Hide, Minimise };

// The main window's drawn buttons and which page is current: the part of the main window that decides,
// kept apart from the part that draws so that it can be checked without a screen.
class MainLayout final {
 public:
  //! Lays the buttons out from the page area's top-left corner (L, T) and shows the main menu.
  explicit MainLayout(QPoint page_area_top_left = kPageArea.topLeft());

  //! A tab button makes its page current; a tile leaves the main menu, then does as its tab button;
  //! "メインメニュー" goes back to the main menu; Hide and Minimise ask the window to do so.
  WindowAction press(WindowButton button);

  //! The visible button under `pos`, if any.
  std::optional<WindowButton> hit_test(QPoint pos) const;

  //! Marks the button under `pos` as hovered (and the others not); true when anything changed.
  bool hover(QPoint pos);

  const DrawnButton& button(WindowButton b) const { return buttons_.at(static_cast<std::size_t>(b)); }
  //! The page shown, or in the main menu the page whose tab stands raised (Status).
  Page current_page() const { return current_page_; }
  bool page_visible(Page page) const { return pages_visible_.at(static_cast<std::size_t>(page)); }
  bool in_main_menu() const { return button(WindowButton::StatusTile).visible; }
  //! The top of the current page's tab button; the two others sit 8 pixels lower.
  int tab_button_top() const { return tab_top_; }

 private:
  DrawnButton& at(WindowButton b) { return buttons_[static_cast<std::size_t>(b)]; }
  void set_visible(std::initializer_list<WindowButton> buttons, bool visible);
  void set_tab_button_tops();

  std::array<DrawnButton, kWindowButtonCount> buttons_;
  std::array<bool, kPageCount> pages_visible_{};
  Page current_page_ = Page::Status;
  int tab_top_ = 0;
};

}  // namespace corvane
