#include "views/language.h"

#include <QCoreApplication>
#include <QTranslator>
#include <memory>

namespace corvane {
namespace {

// Built from i18n/corvane_en.ts at build time and embedded in the views library.
constexpr const char* kEnglishTranslation = ":/corvane/i18n/corvane_en.qm";

std::unique_ptr<QTranslator>& english_translator() {
  static std::unique_ptr<QTranslator> translator;
  return translator;
}

UiLanguage g_installed = UiLanguage::Japanese;

}  // namespace

UiLanguage choose_ui_language(const std::string& requested, const QString& locale_name) {
  if (requested == "ja") return UiLanguage::Japanese;
  if (requested == "en") return UiLanguage::English;
  return locale_name.startsWith(QLatin1String("ja"), Qt::CaseInsensitive) ? UiLanguage::Japanese
                                                                          : UiLanguage::English;
}

bool install_ui_language(UiLanguage language) {
  std::unique_ptr<QTranslator>& translator = english_translator();
  if (translator) {
    QCoreApplication::removeTranslator(translator.get());
    translator.reset();
  }
  g_installed = UiLanguage::Japanese;
  if (language == UiLanguage::Japanese) return true;
  auto loaded = std::make_unique<QTranslator>();
  if (!loaded->load(QString::fromLatin1(kEnglishTranslation))) return false;
  QCoreApplication::installTranslator(loaded.get());
  translator = std::move(loaded);
  g_installed = UiLanguage::English;
  return true;
}

UiLanguage installed_ui_language() {
  return g_installed;
}

}  // namespace corvane
