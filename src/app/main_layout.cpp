#include "app/main_layout.h"

#include "views/ui_texts.h"

namespace corvane {

MainLayout::MainLayout(QPoint page_area_top_left) {
  const int l = page_area_top_left.x();
  const int t = page_area_top_left.y();
  tab_top_ = t - 80;
  auto set = [this](int n, QRect rect, QString label, int image) {
    DrawnButton& b = buttons_[static_cast<std::size_t>(n)];
    b.rect = rect;
    b.label = std::move(label);
    b.image = image;
    b.visible = false;
    b.hovered = false;
  };
  // QRect(left, top, width, height); the tab buttons end at the page area's top.
  set(0, QRect(QPoint(l - 4, t - 80), QPoint(l - 4 + 260 - 1, t - 1)), ui_text(text::kClickTravelHeading),
      artwork_id::kTabActivity);
  set(1, QRect(QPoint(l + 256, t - 80), QPoint(l + 256 + 260 - 1, t - 1)), ui_text(text::kHeartMeasurement),
      artwork_id::kTabHeart);
  set(2, QRect(QPoint(l + 516, t - 80), QPoint(l + 516 + 260 - 1, t - 1)), ui_text(text::kHistoryTabLabel),
      artwork_id::kTabOutput);
  set(3, QRect(25, 100, 318, 418), QString(), artwork_id::kTileActivity);
  set(4, QRect(343, 100, 318, 418), QString(), artwork_id::kTileHeart);
  set(5, QRect(661, 100, 318, 418), QString(), artwork_id::kTileOutput);
  set(6, QRect(830, 0, 150, 40), QStringLiteral("メインメニュー"), artwork_id::kMainMenuButton);
  set(7, QRect(970, 4, 32, 32), QString(), artwork_id::kCloseMark);
  set(8, QRect(930, 4, 32, 32), QString(), artwork_id::kMinimiseMark);

  // The program starts at the main menu: tiles shown, tab buttons and "メインメニュー" hidden.
  for (int n : {3, 4, 5, 7, 8})
    buttons_[static_cast<std::size_t>(n)].visible = true;
  set_tab_button_tops();
}

WindowAction MainLayout::select_page(int number) {
  WindowAction action = WindowAction::Repaint;
  if (number >= 3 && number <= 5) {
    for (int n : {3, 4, 5})
      buttons_[static_cast<std::size_t>(n)].visible = false;
    for (int n : {0, 1, 2, 6})
      buttons_[static_cast<std::size_t>(n)].visible = true;
    number -= 3;
  }
  if (number >= 0 && number <= 2) {
    current_page_ = number;
    for (int p = 0; p < 3; ++p)
      pages_visible_[static_cast<std::size_t>(p)] = (p == number);
  } else if (number == kMainMenuButton) {
    for (int n : {0, 1, 2, 6})
      buttons_[static_cast<std::size_t>(n)].visible = false;
    for (int n : {3, 4, 5})
      buttons_[static_cast<std::size_t>(n)].visible = true;
    pages_visible_.fill(false);
    current_page_ = 0;
  } else if (number == kHideButton) {
    action = WindowAction::Hide;
  } else if (number == kMinimiseButton) {
    action = WindowAction::Minimise;
  }
  set_tab_button_tops();
  return action;
}

void MainLayout::set_tab_button_tops() {
  for (int n = 0; n < 3; ++n) {
    QRect& r = buttons_[static_cast<std::size_t>(n)].rect;
    r.setTop(n == current_page_ ? tab_top_ : tab_top_ + 8);
  }
}

int MainLayout::hit_test(QPoint pos) const {
  for (int n = kDrawnButtonCount - 1; n >= 0; --n) {
    const DrawnButton& b = buttons_[static_cast<std::size_t>(n)];
    if (b.visible && b.rect.contains(pos)) return n;
  }
  return -1;
}

bool MainLayout::hover(QPoint pos) {
  const int hit = hit_test(pos);
  bool changed = false;
  for (int n = 0; n < kDrawnButtonCount; ++n) {
    DrawnButton& b = buttons_[static_cast<std::size_t>(n)];
    const bool h = (n == hit);
    changed |= (b.hovered != h);
    b.hovered = h;
  }
  return changed;
}

}  // namespace corvane
