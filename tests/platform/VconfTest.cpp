#include <gtest/gtest.h>
#include <ostra/vconf.h>

#include <cstdlib>
#include <string>

#include "TestSupport.h"

using testsupport::TempRoot;

namespace {

class ScopedEnv {
  public:
    ScopedEnv(const char* name, const char* value) : _name(name) {
        const char* old = getenv(name);
        _had = old != nullptr;
        _old = old ? old : "";
        if (value) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    ~ScopedEnv() {
        if (_had) {
            setenv(_name.c_str(), _old.c_str(), 1);
        } else {
            unsetenv(_name.c_str());
        }
    }

  private:
    std::string _name;
    std::string _old;
    bool _had;
};

std::string str(const char* key) {
    char* value = vconf_get_str(key);
    std::string text = value ? value : "<null>";
    free(value);
    return text;
}

TEST(Vconf, HostDefaultsFollowTheLocale) {
    TempRoot root;
    ScopedEnv lcAll("LC_ALL", nullptr);
    int clock = 0;
    {
        ScopedEnv lang("LANG", "en_US.UTF-8");
        EXPECT_EQ(str(VCONFKEY_CSC_COUNTRY_ISO), "US");
        EXPECT_EQ(str(VCONFKEY_REGIONFORMAT), "en_US.UTF-8");
        ASSERT_EQ(vconf_get_int(VCONFKEY_REGIONFORMAT_TIME1224, &clock), VCONF_OK);
        EXPECT_EQ(clock, VCONFKEY_TIME_FORMAT_12);
    }
    {
        ScopedEnv lang("LANG", "de_DE.UTF-8");
        EXPECT_EQ(str(VCONFKEY_CSC_COUNTRY_ISO), "DE");
        ASSERT_EQ(vconf_get_int(VCONFKEY_REGIONFORMAT_TIME1224, &clock), VCONF_OK);
        EXPECT_EQ(clock, VCONFKEY_TIME_FORMAT_24);
    }
    {
        ScopedEnv lang("LANG", nullptr);
        EXPECT_EQ(str(VCONFKEY_CSC_COUNTRY_ISO), "");
    }
    {
        ScopedEnv lang("LANG", "C.UTF-8");
        EXPECT_EQ(str(VCONFKEY_CSC_COUNTRY_ISO), "");
    }
    int retail = -1;
    ASSERT_EQ(vconf_get_int(VCONFKEY_RETAILMODE_ENABLED, &retail), VCONF_OK);
    EXPECT_EQ(retail, 0);
}

TEST(Vconf, StoredValuesWinOverDefaultsAndTypesAreChecked) {
    TempRoot root;
    ScopedEnv lang("LANG", "en_US.UTF-8");
    ASSERT_EQ(vconf_set_str(VCONFKEY_CSC_COUNTRY_ISO, "RU"), VCONF_OK);
    EXPECT_EQ(str(VCONFKEY_CSC_COUNTRY_ISO), "RU");
    ASSERT_EQ(vconf_set_int("db/test/int", 4), VCONF_OK);
    EXPECT_EQ(str("db/test/int"), "<null>");
    double d = 0;
    EXPECT_EQ(vconf_get_dbl("db/test/int", &d), VCONF_ERROR);
    ASSERT_EQ(vconf_set_dbl("db/test/dbl", 2.5), VCONF_OK);
    ASSERT_EQ(vconf_get_dbl("db/test/dbl", &d), VCONF_OK);
    EXPECT_EQ(d, 2.5);
    int flag = 0;
    ASSERT_EQ(vconf_set_bool("db/test/bool", 1), VCONF_OK);
    ASSERT_EQ(vconf_get_bool("db/test/bool", &flag), VCONF_OK);
    EXPECT_EQ(flag, 1);
    EXPECT_EQ(vconf_get_int("db/test/missing", &flag), VCONF_ERROR);
    ASSERT_EQ(vconf_unset(VCONFKEY_CSC_COUNTRY_ISO), VCONF_OK);
    EXPECT_EQ(str(VCONFKEY_CSC_COUNTRY_ISO), "US");
}

struct Seen {
    int calls = 0;
    std::string key;
    int value = 0;
};

void onKey(keynode_t* node, void* data) {
    auto* seen = static_cast<Seen*>(data);
    seen->calls++;
    seen->key = vconf_keynode_get_name(node);
    seen->value = vconf_keynode_get_int(node);
}

TEST(Vconf, NotificationsReachWatchersAcrossProcessesUntilIgnored) {
    TempRoot root;
    Seen seen;
    ASSERT_EQ(vconf_notify_key_changed("db/test/watch", onKey, &seen), VCONF_OK);
    ASSERT_EQ(
        testsupport::runProgram({OSTRACTL_PATH, "vconf", "set", "db/test/watch", "int", "17"}), 0);
    ASSERT_TRUE(testsupport::runUntil([&] { return seen.calls > 0; }, 5000));
    EXPECT_EQ(seen.key, "db/test/watch");
    EXPECT_EQ(seen.value, 17);
    ASSERT_EQ(vconf_ignore_key_changed("db/test/watch", onKey), VCONF_OK);
    vconf_set_int("db/test/watch", 18);
    testsupport::runUntil([] { return false; }, 300);
    EXPECT_EQ(seen.calls, 1);
    EXPECT_EQ(vconf_ignore_key_changed("db/test/watch", onKey), VCONF_ERROR);
}

}  // namespace
