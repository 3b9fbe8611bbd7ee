// The program's round popups: they fill the circle over the whole window, as
// the watch draws them, with one bottom button, two round buttons (cancel
// left, confirm right) or, for a toast, one line at the bottom arc.
//
// A popup owns its callbacks; they run at most once and the popup is deleted
// before they run, so a callback may open the next popup. Popups are plain
// layouts on the window's top layer, so the back key reaches them first.
#pragma once

#include <Elementary.h>

#include <functional>
#include <string>

class ZentrelPopup {
  public:
    ZentrelPopup() = delete;

    using Action = std::function<void()>;

    // Text and title are message ids or plain texts (translated when they are ids);
    // the text is shown as plain text, so markup characters in it are escaped.
    // A null title leaves the title area empty. onBack runs on the back key
    // (the popup closes either way).
    static Evas_Object* oneButton(Evas_Object* anchor, const char* title, const std::string& text,
                                  const char* buttonText, Action onButton, Action onBack = nullptr);
    static Evas_Object* twoButtons(Evas_Object* anchor, const char* title, const std::string& text,
                                   Action onCancel, Action onConfirm, Action onBack = nullptr);
    // Like the above, with a content object of the caller's instead of a text.
    static Evas_Object* twoButtonsWithContent(Evas_Object* anchor, const char* title,
                                              Evas_Object* content, Action onCancel,
                                              Action onConfirm, Action onBack = nullptr);
    static Evas_Object* oneButtonWithContent(Evas_Object* anchor, const char* title,
                                             Evas_Object* content, const char* buttonText,
                                             Action onButton, Action onBack = nullptr);
    // A one-line toast at the bottom arc; onTimeout runs when it goes.
    static Evas_Object* toast(Evas_Object* anchor, const std::string& text, double seconds,
                              Action onTimeout = nullptr);

    // Replaces the text of an open popup made by oneButton or twoButtons.
    static void setText(Evas_Object* popup, const std::string& text);
    static void setTitle(Evas_Object* popup, const char* title);
    static void setButtonText(Evas_Object* popup, int button, const char* text);
    // Presses a popup's button as a tap would (1: the single or the cancel
    // button, 2: the confirm button); false when the popup has no such button.
    static bool press(Evas_Object* popup, int button);
    // The text shown by a popup made here (plain, without markup).
    static std::string getText(Evas_Object* popup);

    // A label of the popups' text style holding text (escaped) and ready to fill.
    static Evas_Object* createTextLabel(Evas_Object* parent, const std::string& text);
};
