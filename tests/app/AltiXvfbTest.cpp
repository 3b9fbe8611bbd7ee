// The altitude page in the real program on a bare X server (Xvfb), driven by
// synthetic pointer input: a tap on Go calibrates against the provider
// stand-in, a tap on the value switches metres and feet.
#include <ZentrelStorageMgr.h>
#include <glib.h>
#include <gtest/gtest.h>
#include <ostra/key_storage.h>
#include <ostra/location_manager.h>
#include <ostra/privacy_privilege_manager.h>
#include <ostra/vconf.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "ProviderStandIn.h"
#include "TestSupport.h"
#include "XvfbSupport.h"

namespace {

TEST(AltiXvfbTest, TappingGoCalibratesAndTappingTheValueSwitchesTheUnit) {
    if (!testsupport::xvfbToolsInstalled()) {
        GTEST_SKIP() << "Xvfb or xdotool is not installed";
    }
    testsupport::TempRoot root;
    testsupport::ProviderStandIn standIn{root.path()};
    ASSERT_TRUE(standIn.running());
    ZentrelStorageMgr* storage = ZentrelStorageMgr::getInstance();
    storage->initStorage();
    storage->savePermissionGuideState(1);
    storage->saveUseNetworkAgreementState(1);
    storage->saveUserAgreementState(1);
    storage->saveSettingDistance(0);
    vconf_set_str(OSTRA_PRIVILEGE_KEY_PREFIX "location", "allow");
    vconf_set_str("db/csc/country_iso", "US");
    vconf_set_dbl(VCONFKEY_LOCATION_LATITUDE, 46.5);
    vconf_set_dbl(VCONFKEY_LOCATION_LONGITUDE, 7.9);
    key_storage_set("zentrel_twc_api_key", "test-key");

    testsupport::XvfbServer server;
    ASSERT_TRUE(server.ok());
    const std::string displayName = server.display();
    const std::string logPath = root.path() + "/zentrel.log";
    GPid pid = server.start(ZENTREL_PROGRAM_PATH,
                            {{"OSTRA_SENSOR", "sim"},
                             {"OSTRA_SENSORD", "/bin/true"},
                             {"OSTRA_CONNECTION_TYPE", "wifi"}},
                            logPath);
    ASSERT_NE(pid, 0);
    testsupport::ChildProcess program(pid);
    auto logHas = [&logPath](const char* text) {
        return testsupport::readFile(logPath).find(text) != std::string::npos;
    };
    ASSERT_TRUE(testsupport::runUntil([&] { return logHas("page movement enabled"); }, 15000))
        << testsupport::readFile(logPath);

    // Go sits at the bottom of the centre column.
    ASSERT_TRUE(server.click(180, 288));
    ASSERT_TRUE(testsupport::runUntil([&] { return !storage->isDataSLPHistoryEmpty(); }, 15000))
        << testsupport::readFile(logPath);
    EXPECT_DOUBLE_EQ(storage->getDataSLP(), 1008.4);
    EXPECT_EQ(standIn.served("twc-v3"), 1);

    // The value takes taps once the needle has swept to the new altitude (the
    // sweep's end enables the pages a second time).
    auto sweeps = [&logPath] {
        const std::string log = testsupport::readFile(logPath);
        int count = 0;
        for (size_t at = log.find("page movement enabled"); at != std::string::npos;
             at = log.find("page movement enabled", at + 1)) {
            ++count;
        }
        return count;
    };
    ASSERT_TRUE(testsupport::runUntil([&] { return sweeps() >= 2; }, 15000))
        << testsupport::readFile(logPath);
    ASSERT_TRUE(server.click(180, 150));
    EXPECT_TRUE(testsupport::runUntil([&] { return storage->getSettingDistance() == 1; }, 5000))
        << testsupport::readFile(logPath);
}

}  // namespace
