// Launch requests between real processes: the first starts the registered
// program, a later one reaches the running instance, extra data and replies
// travel intact.
#include <gio/gio.h>
#include <gio/gunixsocketaddress.h>
#include <gtest/gtest.h>
#include <ostra/app_control.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <iterator>
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

// CPU time the process has used, in milliseconds; -1 when it cannot be read.
long cpuMs(const std::string& pid) {
    std::ifstream in("/proc/" + pid + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t name = stat.rfind(')');
    if (name == std::string::npos) {
        return -1;
    }
    // After the name: state (field 3) ... utime (14), stime (15).
    std::istringstream fields(stat.substr(name + 2));
    std::string value;
    long ticks = 0;
    for (int field = 3; field <= 15 && fields >> value; ++field) {
        if (field >= 14) {
            ticks += std::stol(value);
        }
    }
    return ticks * 1000 / sysconf(_SC_CLK_TCK);
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

GSocketConnection* connectRaw(const std::string& path) {
    GSocketClient* client = g_socket_client_new();
    g_socket_client_set_timeout(client, 8);
    GSocketAddress* address = g_unix_socket_address_new(path.c_str());
    GSocketConnection* connection =
        g_socket_client_connect(client, G_SOCKET_CONNECTABLE(address), nullptr, nullptr);
    g_object_unref(address);
    g_object_unref(client);
    return connection;
}

bool sendRaw(GSocketConnection* connection, const std::string& bytes) {
    GOutputStream* out = g_io_stream_get_output_stream(G_IO_STREAM(connection));
    return g_output_stream_write_all(out, bytes.data(), bytes.size(), nullptr, nullptr, nullptr);
}

std::string writeScript(const std::string& path, const std::string& text) {
    std::ofstream(path) << text;
    chmod(path.c_str(), 0755);
    return path;
}

// A registry entry or a state directory another user can write never decides
// what runs: entries writable by others or owned by another user are skipped,
// a state root writable by others is refused.
TEST(LaunchTest, StateAndRegistryEntriesOthersCanWriteAreRefused) {
    testsupport::TempRoot root;
    std::string output;
    chmod(root.path().c_str(), 0777);
    EXPECT_EQ(
        testsupport::runProgram({"/bin/sh", "-c", std::string(OSTRACTL_PATH) + " 2>&1"}, &output),
        1);
    EXPECT_NE(output.find("refused"), std::string::npos) << output;
    chmod(root.path().c_str(), 0700);

    std::string registry = root.path() + "/registry-extra";
    mkdir(registry.c_str(), 0755);
    std::string ran = root.path() + "/planted-ran";
    std::string program =
        writeScript(root.path() + "/planted.sh", "#!/bin/sh\ntouch " + ran + "\n");
    std::string entry = registry + "/com.example.planted.app";
    std::ofstream(entry) << "[App]\nId=com.example.planted\nExec=" << program << "\n";
    setenv("OSTRA_APPS_PATH", registry.c_str(), 1);
    chmod(entry.c_str(), 0666);
    EXPECT_EQ(testsupport::runProgram({OSTRACTL_PATH, "launch", "com.example.planted"}), 1);
    if (geteuid() == 0) {
        chmod(entry.c_str(), 0644);
        ASSERT_EQ(chown(entry.c_str(), 65534, 65534), 0);
        EXPECT_EQ(testsupport::runProgram({OSTRACTL_PATH, "launch", "com.example.planted"}), 1);
        ASSERT_EQ(chown(entry.c_str(), 0, 0), 0);
    }
    g_usleep(300000);
    EXPECT_FALSE(g_file_test(ran.c_str(), G_FILE_TEST_EXISTS));
    // The same entry, owned by the user and writable by nobody else, runs.
    chmod(entry.c_str(), 0644);
    int launcher = testsupport::spawnProgram({OSTRACTL_PATH, "launch", "com.example.planted"});
    EXPECT_TRUE(
        testsupport::runUntil([&] { return g_file_test(ran.c_str(), G_FILE_TEST_EXISTS); }, 5000));
    kill(launcher, SIGKILL);  // it would wait for the script to listen
    testsupport::waitProgram(launcher);
    unsetenv("OSTRA_APPS_PATH");
}

// A socket at an app's path served by another user gets none of its launch
// requests: the real program starts, takes the path over and gets them.
TEST(LaunchTest, SocketPlantedByAnotherUserReceivesNothing) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "planting as another user needs root";
    }
    testsupport::TempRoot root;
    mkdir((root.path() + "/run").c_str(), 0700);
    std::string socketPath = root.path() + "/run/" + kTargetId + ".sock";
    std::string heard = root.path() + "/planted-heard";
    std::string script = root.path() + "/planter.py";
    std::ofstream(script) << "import os,socket,sys\n"
                             "log=open(sys.argv[2],'a')\n"
                             "s=socket.socket(socket.AF_UNIX);s.bind(sys.argv[1])\n"
                             "os.chmod(sys.argv[1],0o777)\n"
                             "os.setgid(65534);os.setuid(65534);s.listen(5)\n"
                             "while True:\n"
                             "    c,_=s.accept();d=c.recv(65536)\n"
                             "    if d:log.write('request\\n');log.flush()\n"
                             "    c.close()\n";
    int planter = testsupport::spawnProgram(
        {"/bin/sh", "-c", "exec python3 " + script + " " + socketPath + " " + heard});
    ASSERT_TRUE(testsupport::runUntil(
        [&] { return g_file_test(socketPath.c_str(), G_FILE_TEST_EXISTS); }, 5000));
    g_usleep(300000);
    ASSERT_TRUE(sendRequest(APP_CONTROL_OPERATION_MAIN, {{"to", "real"}}));
    EXPECT_TRUE(testsupport::runUntil([&] { return launches(root).size() == 1; }, 10000));
    EXPECT_EQ(testsupport::readFile(heard), "");
    stopTarget(root);
    kill(planter, SIGKILL);
    testsupport::waitProgram(planter);
}

// Clients that connect and send nothing, or a frame's first bytes only, do not
// hold up the requests behind them, and are dropped.
TEST(LaunchTest, IdleClientsDoNotHoldUpLaunchRequests) {
    testsupport::TempRoot root;
    ASSERT_TRUE(sendRequest(APP_CONTROL_OPERATION_MAIN, {}));
    ASSERT_TRUE(testsupport::runUntil([&] { return launches(root).size() == 1; }, 10000));
    std::string socketPath = root.path() + "/run/" + kTargetId + ".sock";
    std::vector<GSocketConnection*> idle;
    for (int i = 0; i < 5; ++i) {
        idle.push_back(connectRaw(socketPath));
        ASSERT_NE(idle.back(), nullptr);
    }
    ASSERT_TRUE(sendRaw(idle.back(), std::string("\0\0", 2)));
    ASSERT_TRUE(sendRequest(APP_CONTROL_OPERATION_MAIN, {{"after", "idle"}}));
    // Behind five blocking reads of three seconds each this took fifteen.
    EXPECT_TRUE(testsupport::runUntil([&] { return launches(root).size() == 2; }, 6000));
    char byte = 0;
    GInputStream* in = g_io_stream_get_input_stream(G_IO_STREAM(idle.front()));
    EXPECT_EQ(g_input_stream_read(in, &byte, 1, nullptr, nullptr), 0);  // closed by the target
    for (GSocketConnection* connection : idle) {
        g_object_unref(connection);
    }
    stopTarget(root);
}

// Launch data that is not UTF-8 is refused with a log line, at the sender and
// at the receiver, never delivered half.
TEST(LaunchTest, LaunchDataThatIsNotUtf8IsRefused) {
    testsupport::TempRoot root;
    testsupport::LogCapture log;
    app_control_h request = nullptr;
    app_control_create(&request);
    EXPECT_EQ(app_control_add_extra_data(request, "page", "\xff\xfe"),
              APP_CONTROL_ERROR_INVALID_PARAMETER);
    EXPECT_EQ(app_control_set_operation(request, "op\xc3"), APP_CONTROL_ERROR_INVALID_PARAMETER);
    app_control_destroy(request);
    EXPECT_EQ(log.count("not UTF-8"), 2);

    ASSERT_TRUE(sendRequest(APP_CONTROL_OPERATION_MAIN, {}));
    ASSERT_TRUE(testsupport::runUntil([&] { return launches(root).size() == 1; }, 10000));
    GVariantBuilder extras;
    g_variant_builder_init(&extras, G_VARIANT_TYPE("a{ss}"));
    g_variant_builder_add(&extras, "{ss}", "bad", "QQQQ");
    GVariant* variant = g_variant_ref_sink(g_variant_new(
        "(ssssia{ss}b)", APP_CONTROL_OPERATION_MAIN, "", kTargetId, "", 0, &extras, FALSE));
    std::string payload(static_cast<const char*>(g_variant_get_data(variant)),
                        g_variant_get_size(variant));
    g_variant_unref(variant);
    payload.replace(payload.find("QQQQ"), 4, "\xff\xfe\xfd\xfc");
    guint32 header = GUINT32_TO_BE(static_cast<guint32>(payload.size()));
    GSocketConnection* raw = connectRaw(root.path() + "/run/" + kTargetId + ".sock");
    ASSERT_NE(raw, nullptr);
    ASSERT_TRUE(sendRaw(raw, std::string(reinterpret_cast<const char*>(&header), 4) + payload));
    g_usleep(1000000);
    g_object_unref(raw);
    ASSERT_TRUE(sendRequest(APP_CONTROL_OPERATION_MAIN, {{"after", "bad"}}));
    ASSERT_TRUE(testsupport::runUntil([&] { return launches(root).size() >= 2; }, 10000));
    g_usleep(300000);
    for (const auto& line : launches(root)) {
        EXPECT_EQ(line.find("bad="), std::string::npos) << line;
    }
    EXPECT_EQ(launches(root).size(), 2u);
    stopTarget(root);
}

// A program out of file descriptors cannot accept a launch connection; it
// neither spins on the connection waiting nor loses it: the request arrives
// once descriptors are free again.
TEST(LaunchTest, ProgramOutOfDescriptorsWaitsAndThenTakesTheRequest) {
    testsupport::TempRoot root;
    ASSERT_TRUE(sendRequest(APP_CONTROL_OPERATION_MAIN, {}));
    ASSERT_TRUE(testsupport::runUntil([&] { return launches(root).size() == 1; }, 10000));
    const std::string pid = field(launches(root)[0], "pid");
    ASSERT_TRUE(sendRequest("http://ostra.org/appcontrol/operation/exhaust", {{"seconds", "3"}}));
    // The request's line, then the target's own once it holds every descriptor.
    ASSERT_TRUE(testsupport::runUntil([&] { return launches(root).size() == 3; }, 5000));
    ASSERT_EQ(launches(root)[2].rfind("exhausted ", 0), 0u) << launches(root)[2];
    ASSERT_GT(atoi(field(launches(root)[2], "held").c_str()), 0) << launches(root)[2];
    ASSERT_TRUE(sendRequest(APP_CONTROL_OPERATION_MAIN, {{"sent", "exhausted"}}));
    testsupport::runUntil([] { return false; }, 300);
    const long before = cpuMs(pid);
    ASSERT_GE(before, 0);
    testsupport::runUntil([] { return false; }, 1500);
    const long used = cpuMs(pid) - before;
    EXPECT_LT(used, 300) << "the program ran " << used << " ms of 1500 waiting for descriptors";
    ASSERT_TRUE(testsupport::runUntil([&] { return launches(root).size() == 4; }, 8000));
    EXPECT_EQ(field(launches(root)[3], "sent"), "exhausted");
    stopTarget(root);
}

}  // namespace
