// Colour and font tables: parsing, bad entries, look-ups and edje classes.
#include <Edje.h>
#include <gtest/gtest.h>
#include <ostra/uxt_theme.h>

#include <fstream>
#include <string>

#include "UiTestSupport.h"

namespace {

std::string writeFile(const testsupport::TempRoot& root, const char* name, const char* text) {
    std::string path = root.path() + "/" + name;
    std::ofstream(path) << text;
    return path;
}

TEST(ThemeTableTest, ColourTableParsesGoodEntriesSkipsBadOnesAndSetsClasses) {
    testsupport::TempRoot root;
    uitest::ElmBuffer elm;
    testsupport::LogCapture log;
    std::string path = writeFile(root, "color.xml", R"(<?xml version="1.0"?>
<!-- colours by code -->
<colortable>
  <group><color code="NESTED" value="#FFFFFF"/></group>
  <color code="AO0156" value="#2FA7FF73"/>
  <color code="AO0157" value="#3c3c3c"/>
  <color code="BAD1" value="2FA7FF"/>
  <color code="BAD2" value="#12345G"/>
  <color value="#FFFFFF"/>
  <other code="X" value="#FFFFFF"/>
</colortable>)");
    uxt_theme_table_h table = uxt_theme_color_table_load(path.c_str());
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(uxt_theme_table_count(table), 2);
    EXPECT_TRUE(log.contains("colour of BAD1 is not #RRGGBB[AA]"));
    EXPECT_TRUE(log.contains("colour of BAD2 is not #RRGGBB[AA]"));
    EXPECT_TRUE(log.contains("entry without code skipped (line 9)"));

    int r = 0, g = 0, b = 0, a = 0;
    EXPECT_EQ(uxt_theme_get_color("AO0156", &r, &g, &b, &a), UXT_THEME_ERROR_NO_DATA);
    int calls = 0;
    auto cb = [](void* data) { ++*static_cast<int*>(data); };
    uxt_theme_add_color_changed_cb(cb, &calls);
    ASSERT_EQ(uxt_theme_table_apply(table), UXT_THEME_ERROR_NONE);
    EXPECT_EQ(calls, 1);
    ASSERT_EQ(uxt_theme_get_color("AO0156", &r, &g, &b, &a), UXT_THEME_ERROR_NONE);
    EXPECT_EQ(r, 0x2F);
    EXPECT_EQ(g, 0xA7);
    EXPECT_EQ(b, 0xFF);
    EXPECT_EQ(a, 0x73);
    ASSERT_EQ(uxt_theme_get_color("AO0157", &r, &g, &b, &a), UXT_THEME_ERROR_NONE);
    EXPECT_EQ(r, 0x3C);
    EXPECT_EQ(a, 255);
    EXPECT_EQ(uxt_theme_get_color("BAD1", &r, &g, &b, &a), UXT_THEME_ERROR_NO_DATA);

    int er, eg, eb, ea, dummy;
    ASSERT_TRUE(edje_color_class_get("AO0156", &er, &eg, &eb, &ea, &dummy, &dummy, &dummy, &dummy,
                                     &dummy, &dummy, &dummy, &dummy));
    EXPECT_EQ(er, 0x2F);
    EXPECT_EQ(ea, 0x73);

    // Objects get premultiplied colour, as Evas wants.
    Evas_Object* win = uitest::addWindow("theme");
    Evas_Object* rect = evas_object_rectangle_add(evas_object_evas_get(win));
    ASSERT_EQ(uxt_theme_object_set_color(rect, "AO0156"), UXT_THEME_ERROR_NONE);
    evas_object_color_get(rect, &r, &g, &b, &a);
    EXPECT_EQ(a, 0x73);
    EXPECT_EQ(b, 0xFF * 0x73 / 255);

    uxt_theme_remove_color_changed_cb(cb);
    uxt_theme_table_free(table);
    EXPECT_EQ(uxt_theme_get_color("AO0156", &r, &g, &b, &a), UXT_THEME_ERROR_NO_DATA);
    evas_object_del(win);
}

TEST(ThemeTableTest, FontTableAndUnreadableFiles) {
    testsupport::TempRoot root;
    uitest::ElmBuffer elm;
    testsupport::LogCapture log;
    std::string fonts = writeFile(root, "font.xml", R"(<fonttable>
  <font code="AT0232" family="Roboto" style="Regular" size="16"/>
  <font code="BIG" family="Roboto" size="-3"/>
  <font code="WORD" family="Roboto" size="large"/>
</fonttable>)");
    uxt_theme_table_h table = uxt_theme_font_table_load(fonts.c_str());
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(uxt_theme_table_count(table), 1);
    ASSERT_EQ(uxt_theme_table_apply(table), UXT_THEME_ERROR_NONE);
    char *family = nullptr, *style = nullptr;
    int size = 0;
    ASSERT_EQ(uxt_theme_get_font("AT0232", &family, &style, &size), UXT_THEME_ERROR_NONE);
    EXPECT_STREQ(family, "Roboto");
    EXPECT_STREQ(style, "Regular");
    EXPECT_EQ(size, 16);
    free(family);
    free(style);
    const char* font = nullptr;
    Evas_Font_Size edjeSize = 0;
    ASSERT_TRUE(edje_text_class_get("AT0232", &font, &edjeSize));
    EXPECT_STREQ(font, "Roboto:style=Regular");
    EXPECT_EQ(edjeSize, 16);
    uxt_theme_table_free(table);

    EXPECT_EQ(uxt_theme_color_table_load((root.path() + "/missing.xml").c_str()), nullptr);
    std::string broken = writeFile(root, "broken.xml", "<colortable><color code=");
    EXPECT_EQ(uxt_theme_color_table_load(broken.c_str()), nullptr);
    // A font table is not a colour table.
    EXPECT_EQ(uxt_theme_color_table_load(fonts.c_str()), nullptr);
    EXPECT_EQ(uxt_theme_color_table_load(nullptr), nullptr);
    EXPECT_TRUE(log.contains("is not a colortable"));

    // The shipped tables load completely.
    uxt_theme_table_h shipped = uxt_theme_color_table_load(RES_DIR "/table/Zentrel_color.xml");
    ASSERT_NE(shipped, nullptr);
    EXPECT_GE(uxt_theme_table_count(shipped), 18);
    uxt_theme_table_free(shipped);
}

}  // namespace
