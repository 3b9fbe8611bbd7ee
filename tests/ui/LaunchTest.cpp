// Launch requests between real processes: the first starts the registered
// program, a later one reaches the running instance, extra data and replies
// travel intact.
#include <gtest/gtest.h>
#include <ostra/app_control.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "TestSupport.h"

namespace {

const char* kTargetId = LAUNCH_TARGET_APP_ID;
const char* kQuit = "http://ostra.org/appcontrol/operation/quit";

std::vector<std::string> launches(const testsupport::TempRoot& root) {
    std::ifstream in(root.path() + "/launches.log");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::string field(const std::string& line, const std::string& key) {
    std::istringstream in(line);
    for (std::string word; in >> word;) {
        if (word.rfind(key + "=", 0) == 0) {
            return word.substr(key.size() + 1);
        }
    }
    return "";
}

bool sendRequest(const char* operation,
                 const std::vector<std::pair<std::string, std::string>>& extras,
                 app_control_reply_cb cb = nullptr, void* data = nullptr) {
    app_control_h request = nullptr;
    app_control_create(&request);
    app_control_set_app_id(request, kTargetId);
    app_control_set_operation(request, operation);
    for (const auto& kv : extras) {
        app_control_add_extra_data(request, kv.first.c_str(), kv.second.c_str());
    }
    int ret = app_control_send_launch_request(request, cb, data);
    app_control_destroy(request);
    return ret == APP_CONTROL_ERROR_NONE;
}

void stopTarget(const testsupport::TempRoot& root) {
    size_t before = launches(root).size();
    if (sendRequest(kQuit, {})) {
        testsupport::runUntil([&] { return launches(root).size() > before; }, 5000);
    }
}

TEST(LaunchTest, FirstLaunchStartsProgramAndSecondReachesRunningInstance) {
    testsupport::TempRoot root;
    ASSERT_TRUE(
        sendRequest(APP_CONTROL_OPERATION_MAIN, {{"page", "1"}, {"note", "a=b;c ünïcode"}}));
    ASSERT_TRUE(testsupport::runUntil([&] { return launches(root).size() == 1; }, 10000));
    ASSERT_TRUE(testsupport::runUntil([] { return ostra_app_control_pending_count() == 0; }, 2000));

    ASSERT_TRUE(sendRequest("http://korvane.com/appcontrol/operation/zentrel/widget_open",
                            {{"page", "0"}}));
    ASSERT_TRUE(testsupport::runUntil([&] { return launches(root).size() == 2; }, 10000));

    std::vector<std::string> lines = launches(root);
    EXPECT_EQ(field(lines[0], "n"), "1");
    EXPECT_EQ(field(lines[0], "op"), APP_CONTROL_OPERATION_MAIN);
    EXPECT_EQ(field(lines[0], "page"), "1");
    EXPECT_NE(lines[0].find("note=a=b;c ünïcode"), std::string::npos) << lines[0];
    // The second request reached the same process as its second launch.
    EXPECT_EQ(field(lines[1], "pid"), field(lines[0], "pid"));
    EXPECT_EQ(field(lines[1], "n"), "2");
    EXPECT_EQ(field(lines[1], "page"), "0");
    EXPECT_EQ(field(lines[1], "op"), "http://korvane.com/appcontrol/operation/zentrel/widget_open");
    stopTarget(root);
}

struct Reply {
    bool called = false;
    app_control_result_e result = APP_CONTROL_RESULT_FAILED;
    std::string echo;
};

void onReply(app_control_h, app_control_h reply, app_control_result_e result, void* data) {
    auto* r = static_cast<Reply*>(data);
    r->called = true;
    r->result = result;
    char* echo = nullptr;
    if (reply && app_control_get_extra_data(reply, "echo", &echo) == APP_CONTROL_ERROR_NONE) {
        r->echo = echo;
    }
    free(echo);
}

TEST(LaunchTest, ReplyTravelsBackToSenderAndShellLaunchWorks) {
    testsupport::TempRoot root;
    Reply reply;
    ASSERT_TRUE(
        sendRequest(APP_CONTROL_OPERATION_DEFAULT, {{"reply", "hello there"}}, onReply, &reply));
    ASSERT_TRUE(testsupport::runUntil([&] { return reply.called; }, 10000));
    EXPECT_EQ(reply.result, APP_CONTROL_RESULT_SUCCEEDED);
    EXPECT_EQ(reply.echo, "hello there");

    std::string output;
    int rc = testsupport::runProgram({OSTRACTL_PATH, "launch", "--wait-reply", kTargetId,
                                      "http://ostra.org/op/x", "reply=from shell", "page=2"},
                                     &output);
    EXPECT_EQ(rc, 0) << output;
    EXPECT_NE(output.find("echo=from shell"), std::string::npos) << output;
    EXPECT_NE(output.find("launches=2"), std::string::npos) << output;
    std::vector<std::string> lines = launches(root);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(field(lines[1], "op"), "http://ostra.org/op/x");
    EXPECT_EQ(field(lines[1], "page"), "2");
    stopTarget(root);
}

TEST(LaunchTest, UnknownAppIsRefusedAndMalformedRequestsDoNotHurtTheTarget) {
    testsupport::TempRoot root;
    app_control_h request = nullptr;
    app_control_create(&request);
    app_control_set_app_id(request, "com.example.not-installed");
    EXPECT_EQ(app_control_send_launch_request(request, nullptr, nullptr),
              APP_CONTROL_ERROR_APP_NOT_FOUND);
    app_control_set_app_id(request, "../../bin/sh");
    EXPECT_EQ(app_control_send_launch_request(request, nullptr, nullptr),
              APP_CONTROL_ERROR_APP_NOT_FOUND);
    app_control_destroy(request);
    EXPECT_EQ(testsupport::runProgram({OSTRACTL_PATH, "launch", "com.example.not-installed"}), 1);

    ASSERT_TRUE(sendRequest(APP_CONTROL_OPERATION_MAIN, {}));
    ASSERT_TRUE(testsupport::runUntil([&] { return launches(root).size() == 1; }, 10000));
    // Garbage on the socket is dropped; the instance keeps serving.
    std::string socketPath = root.path() + "/run/" + kTargetId + ".sock";
    EXPECT_EQ(testsupport::runProgram(
                  {"/bin/sh", "-c",
                   "printf '\\377\\377\\377\\377junk' | python3 -c \"import socket,sys;"
                   "s=socket.socket(socket.AF_UNIX);s.connect(sys.argv[1]);"
                   "s.sendall(sys.stdin.buffer.read());s.close()\" " +
                       socketPath}),
              0);
    ASSERT_TRUE(sendRequest(APP_CONTROL_OPERATION_MAIN, {{"after", "garbage"}}));
    ASSERT_TRUE(testsupport::runUntil([&] { return launches(root).size() == 2; }, 10000));
    EXPECT_EQ(field(launches(root)[1], "after"), "garbage");
    stopTarget(root);
}

}  // namespace
