// The language of a running program's texts and the direction of its
// screens, at start and whenever the platform's language key changes.
#include <Elementary.h>
#include <libintl.h>
#include <unicode/uloc.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <string>

#include "PlatformLog.h"
#include "ostra/app_event.h"
#include "ostra/i18n.h"
#include "ostra/ostra_efl.h"

namespace {

// The "Language:" field of a catalogue header, empty when there is none.
std::string headerLanguage(const char* header) {
    static constexpr const char kField[] = "Language: ";
    const char* field = header ? strstr(header, kField) : nullptr;
    if (!field) {
        return "";
    }
    field += sizeof kField - 1;
    return std::string(field, strcspn(field, "\n"));
}

// gettext's language list for a locale such as "de_DE": the locale, its
// language, and English, since the message ids are no text.
std::string languageList(const std::string& locale) {
    std::string language = locale.substr(0, locale.find('_'));
    std::string list = locale;
    if (language != locale) {
        list += ":" + language;
    }
    return language == "en" ? list : list + ":en";
}

void onLanguageChangedFirst(app_event_info_h event, void*) {
    char* locale = nullptr;
    if (app_event_get_language(event, &locale) != APP_ERROR_NONE || !locale || !*locale) {
        OSTRA_LOGW("language change without a language");
        free(locale);
        return;
    }
    setenv("LANGUAGE", languageList(locale).c_str(), 1);
    free(locale);
    // A new text domain call tells gettext to forget the texts it looked up.
    textdomain(textdomain(nullptr));
    ostra_efl_apply_text_direction();
}

// The toolkit's language change sets every locale category; stored values
// and request addresses are written with printf and need "C" numbers.
void onLanguageChangedLast(app_event_info_h, void*) {
    setlocale(LC_NUMERIC, "C");
}

// The two handlers while the program follows the language key.
app_event_handler_h gFirst = nullptr;
app_event_handler_h gLast = nullptr;

void addLanguageHandler(app_event_handler_h* handler, app_event_cb callback) {
    if (*handler) {
        return;
    }
    if (ostra_app_add_event_handler(handler, APP_EVENT_LANGUAGE_CHANGED, callback, nullptr) !=
        APP_ERROR_NONE) {
        OSTRA_LOGE("cannot follow the language key");
    }
}

void removeLanguageHandler(app_event_handler_h* handler) {
    if (*handler) {
        ostra_app_remove_event_handler(*handler);
        *handler = nullptr;
    }
}

}  // namespace

extern "C" bool ostra_efl_apply_text_direction(void) {
    // gettext answers the empty id with the header of the catalogue in force.
    std::string language = headerLanguage(i18n_get_text(""));
    const bool rightToLeft = !language.empty() && uloc_isRightToLeft(language.c_str());
    elm_config_mirrored_set(rightToLeft ? EINA_TRUE : EINA_FALSE);
    OSTRA_LOGI("texts in %s, %s", language.empty() ? "(no catalogue)" : language.c_str(),
               rightToLeft ? "right to left: the toolkit is mirrored" : "left to right");
    return rightToLeft;
}

extern "C" void ostra_efl_follow_language_before_program(void) {
    addLanguageHandler(&gFirst, onLanguageChangedFirst);
}

extern "C" void ostra_efl_follow_language_after_program(void) {
    addLanguageHandler(&gLast, onLanguageChangedLast);
}

extern "C" void ostra_efl_stop_following_language(void) {
    removeLanguageHandler(&gFirst);
    removeLanguageHandler(&gLast);
}
