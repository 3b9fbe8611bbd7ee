// The round window of the platform's small question programs: a black
// 360x360 window holding a column with the wrapped question first; the
// program packs its buttons below it.
#pragma once

#include <Elementary.h>

namespace ostra_tools {

struct QuestionWindow {
    Evas_Object* win = nullptr;
    Evas_Object* box = nullptr;
    Evas_Object* label = nullptr;
};

struct QuestionLayout {
    Evas_Coord gap;          // between the question and the buttons
    Elm_Wrap_Type wrap;      // how the question breaks into lines
    Evas_Coord labelHeight;  // room kept for the question
};

inline QuestionWindow addQuestionWindow(const char* name, const char* title,
                                        const QuestionLayout& layout) {
    QuestionWindow window;
    window.win = elm_win_util_standard_add(name, title);
    evas_object_resize(window.win, 360, 360);
    Evas_Object* bg = elm_bg_add(window.win);
    elm_bg_color_set(bg, 0, 0, 0);
    // The round screen's square, whatever the content asks for: without it
    // the window shrank to the question's width.
    evas_object_size_hint_min_set(bg, 360, 360);
    elm_win_resize_object_add(window.win, bg);
    evas_object_show(bg);
    window.box = elm_box_add(window.win);
    elm_box_padding_set(window.box, 0, layout.gap);
    evas_object_size_hint_weight_set(window.box, EVAS_HINT_EXPAND, EVAS_HINT_EXPAND);
    elm_win_resize_object_add(window.win, window.box);
    window.label = elm_label_add(window.box);
    elm_label_line_wrap_set(window.label, layout.wrap);
    elm_label_wrap_width_set(window.label, 250);
    evas_object_size_hint_min_set(window.label, 250, layout.labelHeight);
    elm_box_pack_end(window.box, window.label);
    evas_object_show(window.label);
    return window;
}

}  // namespace ostra_tools
