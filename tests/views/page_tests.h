#pragma once

#include <QObject>
#include <memory>

namespace corvane {

std::unique_ptr<QObject> make_status_page_test();
std::unique_ptr<QObject> make_heart_page_test();
std::unique_ptr<QObject> make_option_dlg_test();
std::unique_ptr<QObject> make_history_page_test();

}  // namespace corvane
