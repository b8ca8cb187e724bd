#pragma once

#include <QString>
#include <string>

namespace corvane {

// The language the user interface speaks. The Japanese texts are the originals; English comes from the
// translation embedded in the program.
enum class UiLanguage { Japanese, English };

//! `requested` is what --lang asked for ("ja", "en" or empty); without it a "ja*" locale name gives
//! Japanese and any other English.
UiLanguage choose_ui_language(const std::string& requested, const QString& locale_name);

//! Makes the application show `language`: installs the embedded English translation, or removes it for
//! Japanese. False when the English translation is missing from the build.
bool install_ui_language(UiLanguage language);

//! The language installed last (Japanese until install_ui_language runs).
UiLanguage installed_ui_language();

}  // namespace corvane
