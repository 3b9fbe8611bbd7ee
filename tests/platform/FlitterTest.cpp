// The "show on phone" client: a desktop session decides whether pages can
// open, and only web addresses are handed to the desktop.
#include <gtest/gtest.h>
#include <ostra/flitter.h>
#include <ostra/vconf.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace {

class SessionEnv {
  public:
    SessionEnv() {
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
            const char* value = getenv(name);
            saved_.push_back(value ? value : "");
            unsetenv(name);
        }
    }
    ~SessionEnv() {
        const char* names[] = {"DISPLAY", "WAYLAND_DISPLAY"};
        for (size_t i = 0; i < saved_.size(); ++i) {
            if (!saved_[i].empty()) {
                setenv(names[i], saved_[i].c_str(), 1);
            }
        }
    }

  private:
    std::vector<std::string> saved_;
};

int hostLink() {
    int value = -1;
    vconf_get_int("memory/private/qrl/conn_type", &value);
    return value;
}

TEST(FlitterTest, WithoutADesktopSessionNothingOpensAndNoHostIsLinked) {
    testsupport::TempRoot root;
    SessionEnv env;
    testsupport::LogCapture logs;
    EXPECT_FALSE(ostra_flitter_session_available());
    EXPECT_EQ(hostLink(), 0);
    EXPECT_EQ(flitter_service_connect(), FLITTER_ERROR_NOT_CONNECTED);
    EXPECT_TRUE(logs.contains("no desktop session"));
    EXPECT_EQ(flitter_request_to_browse("zentrel", "https://example.org/terms"),
              FLITTER_ERROR_NOT_CONNECTED);
    EXPECT_EQ(flitter_service_disconnect(), FLITTER_ERROR_NONE);
}

TEST(FlitterTest, ASessionLinksTheHostButOnlyWebAddressesAreOpened) {
    testsupport::TempRoot root;
    SessionEnv env;
    setenv("WAYLAND_DISPLAY", "wayland-test", 1);
    EXPECT_TRUE(ostra_flitter_session_available());
    EXPECT_EQ(hostLink(), 1);
    ASSERT_EQ(flitter_service_connect(), FLITTER_ERROR_NONE);
    EXPECT_EQ(flitter_request_to_browse("zentrel", "file:///etc/passwd"),
              FLITTER_ERROR_INVALID_PARAMETER);
    EXPECT_EQ(flitter_request_to_browse("zentrel", nullptr), FLITTER_ERROR_INVALID_PARAMETER);
    EXPECT_EQ(flitter_request_to_browse(nullptr, "https://example.org"),
              FLITTER_ERROR_INVALID_PARAMETER);
    flitter_service_disconnect();
    // A value someone set wins over the session.
    vconf_set_int("memory/private/qrl/conn_type", 0);
    EXPECT_EQ(hostLink(), 0);
    unsetenv("WAYLAND_DISPLAY");
}

}  // namespace
