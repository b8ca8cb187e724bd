#include "app/main_layout.h"

#include "base/user_texts.h"
#include "views/ui_texts.h"

namespace corvane {
namespace {

constexpr WindowButton kAllButtons[] = {
    WindowButton::StatusTab,  WindowButton::HeartRateTab,  WindowButton::ExportTab,
    WindowButton::StatusTile, WindowButton::HeartRateTile, WindowButton::ExportTile,
    WindowButton::MainMenu,   WindowButton::Hide,          WindowButton::Minimise};

}  // namespace

MainLayout::MainLayout(QPoint page_area_top_left) {
  const int l = page_area_top_left.x();
  const int t = page_area_top_left.y();
  tab_top_ = t - 80;
  auto set = [this](WindowButton button, QRect rect, QString label, Artwork art) {
    DrawnButton& b = at(button);
    b.rect = rect;
    b.label = std::move(label);
    b.art = art;
    b.visible = false;
    b.hovered = false;
  };
  // QRect(left, top, width, height); the tab buttons end at the page area's top.
  set(WindowButton::StatusTab, QRect(QPoint(l - 4, t - 80), QPoint(l - 4 + 260 - 1, t - 1)),
      ui_text(text::kClickTravelHeading), Artwork::StatusTab);
  set(WindowButton::HeartRateTab, QRect(QPoint(l + 256, t - 80), QPoint(l + 256 + 260 - 1, t - 1)),
      ui_text(text::kHeartMeasurement), Artwork::HeartRateTab);
  set(WindowButton::ExportTab, QRect(QPoint(l + 516, t - 80), QPoint(l + 516 + 260 - 1, t - 1)),
      ui_text(text::kExportPageHeading), Artwork::ExportTab);
  set(WindowButton::StatusTile, QRect(25, 100, 318, 418), QString(), Artwork::StatusTile);
  set(WindowButton::HeartRateTile, QRect(343, 100, 318, 418), QString(), Artwork::HeartRateTile);
  set(WindowButton::ExportTile, QRect(661, 100, 318, 418), QString(), Artwork::ExportTile);
  set(WindowButton::MainMenu, QRect(830, 0, 150, 40), shown_text(user_text::kMainMenu),
      Artwork::MainMenuButton);
  set(WindowButton::Hide, QRect(970, 4, 32, 32), QString(), Artwork::CloseMark);
  set(WindowButton::Minimise, QRect(930, 4, 32, 32), QString(), Artwork::MinimiseMark);

  // The program starts at the main menu: tiles shown, tab buttons and "メインメニュー" hidden.
  set_visible({WindowButton::StatusTile, WindowButton::HeartRateTile, WindowButton::ExportTile,
               WindowButton::Hide, WindowButton::Minimise},
              true);
  set_tab_button_tops();
}

void MainLayout::set_visible(std::initializer_list<WindowButton> buttons, bool visible) {
  for (WindowButton b : buttons)
    at(b).visible = visible;
}

WindowAction MainLayout::press(WindowButton button) {
  static constexpr std::initializer_list<WindowButton> kTiles = {
      WindowButton::StatusTile, WindowButton::HeartRateTile, WindowButton::ExportTile};
  static constexpr std::initializer_list<WindowButton> kPageButtons = {
      WindowButton::StatusTab, WindowButton::HeartRateTab, WindowButton::ExportTab, WindowButton::MainMenu};
  WindowAction action = WindowAction::Repaint;
  if (is_tile(button)) {
    set_visible(kTiles, false);
    set_visible(kPageButtons, true);
    button = tab_of(page_of(button));
  }
  if (is_tab(button)) {
    current_page_ = page_of(button);
    for (int p = 0; p < kPageCount; ++p)
      pages_visible_[static_cast<std::size_t>(p)] = (static_cast<Page>(p) == current_page_);
  } else if (button == WindowButton::MainMenu) {
    set_visible(kPageButtons, false);
    set_visible(kTiles, true);
    pages_visible_.fill(false);
    current_page_ = Page::Status;
  } else if (button == WindowButton::Hide) {
    action = WindowAction::Hide;
  } else if (button == WindowButton::Minimise) {
    action = WindowAction::Minimise;
  }
  set_tab_button_tops();
  return action;
}

void MainLayout::set_tab_button_tops() {
  for (int p = 0; p < kPageCount; ++p) {
    const Page page = static_cast<Page>(p);
    at(tab_of(page)).rect.setTop(page == current_page_ ? tab_top_ : tab_top_ + 8);
  }
}

std::optional<WindowButton> MainLayout::hit_test(QPoint pos) const {
  for (auto it = std::rbegin(kAllButtons); it != std::rend(kAllButtons); ++it) {
    const DrawnButton& b = button(*it);
    if (b.visible && b.rect.contains(pos)) return *it;
  }
  return std::nullopt;
}

bool MainLayout::hover(QPoint pos) {
  const std::optional<WindowButton> hit = hit_test(pos);
  bool changed = false;
  for (WindowButton button : kAllButtons) {
    DrawnButton& b = at(button);
    const bool h = (hit == button);
    changed |= (b.hovered != h);
    b.hovered = h;
  }
  return changed;
}

}  // namespace corvane
