// The location privilege as the screens meet it: each stored state, each
// answer to a request (the caller's flow resumes once, and only when the
// user allows for good), the privacy guide program answering for real, and
// the first-launch guide popup.
#include <ZentrelBroadCaster.h>
#include <ZentrelPermission.h>
#include <ZentrelPopup.h>
#include <ZentrelStorageMgr.h>
#include <gtest/gtest.h>
#include <ostra/efl_extension.h>

#include <string>

#include "AppTestSupport.h"

namespace {

int ostractl(const std::string& verb, const std::string& a, const std::string& b) {
    return testsupport::runProgram({OSTRACTL_PATH, verb, a, b});
}

std::string locationState() {
    std::string out;
    testsupport::runProgram({OSTRACTL_PATH, "privilege", "show"}, &out);
    return out.substr(0, out.find('\n'));
}

void settle(int ms) {
    uitest::runLoopUntil([] { return false; }, ms);
}

TEST(PermissionTest, EachStateAndEachAnswerResumesTheFlowOnlyWhenAllowedForGood) {
    apptest::AppEnvironment env;
    ZentrelPermission permission;
    int resumed = 0;
    int token = 7;
    void* seen = nullptr;
    auto flow = [&](void* data) {
        ++resumed;
        seen = data;
    };

    // A fresh root asks, and the user allows for good.
    EXPECT_EQ(locationState(), "location: ask");
    EXPECT_FALSE(permission.checkAccessPermission(flow, &token));
    EXPECT_EQ(resumed, 0);
    ASSERT_TRUE(uitest::runLoopUntil([&] { return resumed > 0; }, 2000));
    settle(100);
    EXPECT_EQ(resumed, 1);
    EXPECT_EQ(seen, &token);
    EXPECT_EQ(locationState(), "location: allow");

    // Allowed: the flow goes on at once, without the callback.
    EXPECT_TRUE(permission.checkAccessPermission(flow, &token));
    settle(100);
    EXPECT_EQ(resumed, 1);

    for (const char* answer : {"deny-once", "deny-forever"}) {
        ASSERT_EQ(ostractl("privilege", "location", "ask"), 0);
        ASSERT_EQ(ostractl("privilege", "answer", answer), 0);
        testsupport::LogCapture log;
        EXPECT_FALSE(permission.checkAccessPermission(flow, &token));
        ASSERT_TRUE(uitest::runLoopUntil(
            [&] {
                return log.contains(std::string("checkAccessPermission ") +
                                    (answer[5] == 'o' ? "DENY_ONCE" : "DENY_FOREVER"));
            },
            2000))
            << answer;
        EXPECT_EQ(resumed, 1) << answer;
    }
    EXPECT_EQ(locationState(), "location: deny");
}

TEST(PermissionTest, AnswerAfterTheScreenIsGoneReachesNobody) {
    apptest::AppEnvironment env;
    int resumed = 0;
    {
        ZentrelPermission permission;
        EXPECT_FALSE(permission.checkAccessPermission([&](void*) { ++resumed; }, nullptr));
    }
    testsupport::LogCapture log;
    ASSERT_TRUE(
        uitest::runLoopUntil([&] { return log.contains("screen that asked is gone"); }, 2000));
    EXPECT_EQ(resumed, 0);
}

TEST(PermissionTest, DeniedPrivilegeOpensThePrivacyGuideWhoseAnswerDoesNotResume) {
    apptest::AppEnvironment env;
    ASSERT_EQ(ostractl("privilege", "location", "deny"), 0);
    ZentrelPermission permission;
    int resumed = 0;
    for (const char* choice : {"no", "yes"}) {
        setenv("OSTRA_PRIVACY_GUIDE_ANSWER", choice, 1);
        testsupport::LogCapture log;
        EXPECT_FALSE(permission.checkAccessPermission([&](void*) { ++resumed; }, nullptr));
        EXPECT_TRUE(log.contains("No Permision"));
        const std::string expected = choice[0] == 'y' ? "User selected YES" : "User selected NO";
        ASSERT_TRUE(uitest::runLoopUntil([&] { return log.contains(expected); }, 15000)) << choice;
        EXPECT_EQ(resumed, 0);
    }
    unsetenv("OSTRA_PRIVACY_GUIDE_ANSWER");
    // "Yes" in the guide allows the privilege, so the next check goes straight on.
    EXPECT_EQ(locationState(), "location: allow");
    EXPECT_TRUE(permission.checkAccessPermission([&](void*) { ++resumed; }, nullptr));
}

TEST(PermissionTest, GuidePopupConfirmStoresItsStateAndFollowsLanguageChanges) {
    apptest::AppEnvironment env;
    ZentrelStorageMgr::getInstance()->savePermissionGuideState(0);
    apptest::Screen screen(ZentrelPageController::PAGE_ALTI_VIEW);
    settle(500);
    Evas_Object* popup = screen.controller->getGuidePopup();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(apptest::text(popup, "elm.text.title"), "App permissions");
    const std::string text = ZentrelPopup::getText(popup);
    EXPECT_NE(text.find("Optional permission"), std::string::npos);
    apptest::screenshot(screen.window.getEvasObj(), "permission_guide.png");

    // A language change fills the popup again from the catalogue.
    ZentrelPopup::setText(popup, "stale");
    ZentrelBroadCaster::getBroadCaster().onEmit("language,changed", nullptr);
    EXPECT_EQ(ZentrelPopup::getText(popup), text);

    EXPECT_TRUE(ZentrelPopup::press(popup, 1));
    settle(100);
    EXPECT_EQ(screen.controller->getGuidePopup(), nullptr);
    EXPECT_EQ(ZentrelStorageMgr::getInstance()->getPermissionGuideState(), 1);
}

TEST(PermissionTest, GuidePopupBackKeyAnswersCanceled) {
    apptest::AppEnvironment env;
    apptest::Screen screen(ZentrelPageController::PAGE_ALTI_VIEW);
    ZentrelPermission permission;
    int answers = 0;
    bool confirmed = true;
    permission.createGuidePopup(screen.controller->getEvasObj(), [&](bool ok) {
        ++answers;
        confirmed = ok;
    });
    ASSERT_NE(permission.getGuidePopup(), nullptr);
    settle(100);
    ostra_eext_back_feed();
    settle(100);
    EXPECT_EQ(answers, 1);
    EXPECT_FALSE(confirmed);
    EXPECT_EQ(permission.getGuidePopup(), nullptr);
}

}  // namespace
