#include "ostra/uxt_theme.h"

#include <Edje.h>
#include <glib.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "PlatformLog.h"

namespace {

enum class TableKind { Color, Font };

struct ColorEntry {
    int r, g, b, a;
};

struct FontEntry {
    std::string family;
    std::string style;
    int size;
};

struct Listener {
    uxt_theme_changed_cb cb;
    void* data;
};

}  // namespace

struct uxt_theme_table_s {
    TableKind kind;
    std::map<std::string, ColorEntry> colors;
    std::map<std::string, FontEntry> fonts;
};

namespace {

struct ThemeState {
    uxt_theme_table_h currentColors = nullptr;
    uxt_theme_table_h currentFonts = nullptr;
    std::vector<Listener> colorListeners;
    std::vector<Listener> fontListeners;
};

ThemeState& theme() {
    static ThemeState s;
    return s;
}

// The tables are small flat XML files read before a program's first frame:
// GLib's markup parser reads them without bringing a full XML library's code
// into every program's start.
struct TableParse {
    const char* path;
    const char* rootName;
    const char* entryName;
    uxt_theme_table_s* table;
    GMarkupParseContext* context = nullptr;
    int depth = 0;
    bool wrongRoot = false;
};

const char* attr(const gchar** names, const gchar** values, const char* name) {
    for (int i = 0; names[i]; ++i) {
        if (strcmp(names[i], name) == 0) {
            return values[i];
        }
    }
    return "";
}

bool parseColor(const std::string& text, ColorEntry* out) {
    if ((text.size() != 7 && text.size() != 9) || text[0] != '#') {
        return false;
    }
    for (size_t i = 1; i < text.size(); ++i) {
        if (!isxdigit(static_cast<unsigned char>(text[i]))) {
            return false;
        }
    }
    auto byte = [&](size_t at) {
        return static_cast<int>(strtol(text.substr(at, 2).c_str(), nullptr, 16));
    };
    out->r = byte(1);
    out->g = byte(3);
    out->b = byte(5);
    out->a = text.size() == 9 ? byte(7) : 255;
    return true;
}

void addEntry(TableParse* parse, const gchar** names, const gchar** values) {
    uxt_theme_table_s* table = parse->table;
    std::string code = attr(names, values, "code");
    if (code.empty()) {
        int line = 0;
        g_markup_parse_context_get_position(parse->context, &line, nullptr);
        OSTRA_LOGW("%s: entry without code skipped (line %d)", parse->path, line);
        return;
    }
    if (table->kind == TableKind::Color) {
        ColorEntry color;
        if (!parseColor(attr(names, values, "value"), &color)) {
            OSTRA_LOGW("%s: colour of %s is not #RRGGBB[AA]; skipped", parse->path, code.c_str());
            return;
        }
        table->colors[code] = color;
        return;
    }
    std::string size = attr(names, values, "size");
    char* end = nullptr;
    long value = strtol(size.c_str(), &end, 10);
    if (size.empty() || *end || value <= 0 || value > 512) {
        OSTRA_LOGW("%s: size of %s is not a font size; skipped", parse->path, code.c_str());
        return;
    }
    table->fonts[code] = FontEntry{attr(names, values, "family"), attr(names, values, "style"),
                                   static_cast<int>(value)};
}

void startElement(GMarkupParseContext*, const gchar* name, const gchar** names,
                  const gchar** values, gpointer data, GError** error) {
    auto* parse = static_cast<TableParse*>(data);
    int depth = parse->depth++;
    if (depth == 0 && strcmp(name, parse->rootName) != 0) {
        parse->wrongRoot = true;
        g_set_error(error, G_MARKUP_ERROR, G_MARKUP_ERROR_INVALID_CONTENT, "%s is not a %s",
                    parse->path, parse->rootName);
    } else if (depth == 1 && strcmp(name, parse->entryName) == 0) {
        addEntry(parse, names, values);
    }
}

void endElement(GMarkupParseContext*, const gchar*, gpointer data, GError**) {
    --static_cast<TableParse*>(data)->depth;
}

uxt_theme_table_h load(const char* path, TableKind kind) {
    if (!path || !*path) {
        OSTRA_LOGE("theme table without path");
        return nullptr;
    }
    gchar* text = nullptr;
    gsize length = 0;
    if (!g_file_get_contents(path, &text, &length, nullptr)) {
        OSTRA_LOGE("theme table %s cannot be read", path);
        return nullptr;
    }
    TableParse parse{path, kind == TableKind::Color ? "colortable" : "fonttable",
                     kind == TableKind::Color ? "color" : "font",
                     new uxt_theme_table_s{kind, {}, {}}};
    const GMarkupParser parser{startElement, endElement, nullptr, nullptr, nullptr};
    parse.context = g_markup_parse_context_new(&parser, G_MARKUP_DEFAULT_FLAGS, &parse, nullptr);
    GError* error = nullptr;
    bool ok =
        g_markup_parse_context_parse(parse.context, text, static_cast<gssize>(length), &error) &&
        g_markup_parse_context_end_parse(parse.context, &error);
    g_markup_parse_context_free(parse.context);
    g_free(text);
    if (!ok) {
        if (parse.wrongRoot) {
            OSTRA_LOGE("%s", error->message);
        } else {
            OSTRA_LOGE("theme table %s cannot be read: %s", path, error ? error->message : "?");
        }
        g_clear_error(&error);
        delete parse.table;
        return nullptr;
    }
    return parse.table;
}

void notify(const std::vector<Listener>& listeners) {
    std::vector<Listener> copy = listeners;
    for (const Listener& l : copy) {
        l.cb(l.data);
    }
}

int addListener(std::vector<Listener>& list, uxt_theme_changed_cb cb, void* data) {
    if (!cb) {
        return UXT_THEME_ERROR_INVALID_PARAMETER;
    }
    list.push_back(Listener{cb, data});
    return UXT_THEME_ERROR_NONE;
}

int removeListener(std::vector<Listener>& list, uxt_theme_changed_cb cb) {
    for (auto it = list.begin(); it != list.end(); ++it) {
        if (it->cb == cb) {
            list.erase(it);
            return UXT_THEME_ERROR_NONE;
        }
    }
    return UXT_THEME_ERROR_INVALID_PARAMETER;
}

}  // namespace

extern "C" {

void uxt_theme_changeable_ui_enabled_set(bool) {}

uxt_theme_table_h uxt_theme_color_table_load(const char* path) {
    return load(path, TableKind::Color);
}

uxt_theme_table_h uxt_theme_font_table_load(const char* path) {
    return load(path, TableKind::Font);
}

int uxt_theme_table_apply(uxt_theme_table_h table) {
    if (!table) {
        return UXT_THEME_ERROR_INVALID_PARAMETER;
    }
    ThemeState& s = theme();
    if (table->kind == TableKind::Color) {
        for (const auto& [code, c] : table->colors) {
            edje_color_class_set(code.c_str(), c.r, c.g, c.b, c.a, c.r, c.g, c.b, c.a, c.r, c.g,
                                 c.b, c.a);
        }
        s.currentColors = table;
        notify(s.colorListeners);
    } else {
        for (const auto& [code, f] : table->fonts) {
            std::string font = f.family;
            if (!f.style.empty()) {
                font += ":style=" + f.style;
            }
            edje_text_class_set(code.c_str(), font.c_str(), f.size);
        }
        s.currentFonts = table;
        notify(s.fontListeners);
    }
    return UXT_THEME_ERROR_NONE;
}

int uxt_theme_table_free(uxt_theme_table_h table) {
    if (!table) {
        return UXT_THEME_ERROR_INVALID_PARAMETER;
    }
    ThemeState& s = theme();
    if (s.currentColors == table) {
        s.currentColors = nullptr;
    }
    if (s.currentFonts == table) {
        s.currentFonts = nullptr;
    }
    delete table;
    return UXT_THEME_ERROR_NONE;
}

int uxt_theme_table_count(uxt_theme_table_h table) {
    if (!table) {
        return 0;
    }
    return static_cast<int>(table->kind == TableKind::Color ? table->colors.size()
                                                            : table->fonts.size());
}

int uxt_theme_add_color_changed_cb(uxt_theme_changed_cb cb, void* user_data) {
    return addListener(theme().colorListeners, cb, user_data);
}

int uxt_theme_remove_color_changed_cb(uxt_theme_changed_cb cb) {
    return removeListener(theme().colorListeners, cb);
}

int uxt_theme_add_font_changed_cb(uxt_theme_changed_cb cb, void* user_data) {
    return addListener(theme().fontListeners, cb, user_data);
}

int uxt_theme_remove_font_changed_cb(uxt_theme_changed_cb cb) {
    return removeListener(theme().fontListeners, cb);
}

int uxt_theme_get_color(const char* code, int* r, int* g, int* b, int* a) {
    if (!code) {
        return UXT_THEME_ERROR_INVALID_PARAMETER;
    }
    uxt_theme_table_h table = theme().currentColors;
    if (!table) {
        return UXT_THEME_ERROR_NO_DATA;
    }
    auto found = table->colors.find(code);
    if (found == table->colors.end()) {
        OSTRA_LOGW("colour %s is not in the colour table", code);
        return UXT_THEME_ERROR_NO_DATA;
    }
    if (r)
        *r = found->second.r;
    if (g)
        *g = found->second.g;
    if (b)
        *b = found->second.b;
    if (a)
        *a = found->second.a;
    return UXT_THEME_ERROR_NONE;
}

int uxt_theme_object_set_color(Evas_Object* obj, const char* code) {
    if (!obj) {
        return UXT_THEME_ERROR_INVALID_PARAMETER;
    }
    int r, g, b, a;
    int ret = uxt_theme_get_color(code, &r, &g, &b, &a);
    if (ret != UXT_THEME_ERROR_NONE) {
        return ret;
    }
    evas_object_color_set(obj, r * a / 255, g * a / 255, b * a / 255, a);
    return UXT_THEME_ERROR_NONE;
}

int uxt_theme_get_font(const char* code, char** family, char** style, int* size) {
    if (!code) {
        return UXT_THEME_ERROR_INVALID_PARAMETER;
    }
    uxt_theme_table_h table = theme().currentFonts;
    if (!table) {
        return UXT_THEME_ERROR_NO_DATA;
    }
    auto found = table->fonts.find(code);
    if (found == table->fonts.end()) {
        return UXT_THEME_ERROR_NO_DATA;
    }
    if (family)
        *family = strdup(found->second.family.c_str());
    if (style)
        *style = strdup(found->second.style.c_str());
    if (size)
        *size = found->second.size;
    return UXT_THEME_ERROR_NONE;
}

}  // extern "C"
