// The cloud client in process: record lists, record files, and the
// session with a service played by the test on the service socket.
#include <gio/gio.h>
#include <gio/gunixsocketaddress.h>
#include <gtest/gtest.h>
#include <ostra/korvane_cloud.h>

#include <cstdlib>
#include <string>

#include "TestSupport.h"

namespace {

korvane_cloud_record_h makeRecord(const char* key, const char* date, const char* value) {
    korvane_cloud_record_h record = nullptr;
    korvane_cloud_record_create(&record);
    korvane_cloud_record_set_key(record, key);
    if (date) {
        korvane_cloud_record_set_date(record, date);
    }
    if (value) {
        korvane_cloud_record_set_value(record, value);
    }
    return record;
}

std::string valueOf(korvane_cloud_list_h list) {
    korvane_cloud_record_h record = nullptr;
    if (korvane_cloud_list_get_current_record(list, &record) != KORVANE_CLOUD_ERROR_NONE) {
        return "<none>";
    }
    char* value = nullptr;
    if (korvane_cloud_record_get_value(record, &value) != KORVANE_CLOUD_ERROR_NONE) {
        return "<unset>";
    }
    std::string copy = value;
    free(value);
    return copy;
}

TEST(CloudClientTest, FileRoundTripKeepsRecordsInOrderAndTheCursorStopsAtTheEnd) {
    testsupport::TempRoot root;
    korvane_cloud_list_h list = nullptr;
    ASSERT_EQ(korvane_cloud_list_create(&list), KORVANE_CLOUD_ERROR_NONE);
    EXPECT_EQ(korvane_cloud_list_move_to_first(list), KORVANE_CLOUD_ERROR_NO_DATA);
    korvane_cloud_list_add(list, makeRecord("A", "1", "{\"x\":\"a\\nb\"}"));
    korvane_cloud_list_add(list, makeRecord("B", nullptr, nullptr));
    std::string path = root.path() + "/records.json";
    ASSERT_EQ(korvane_cloud_file_create_file(list, path.c_str()), KORVANE_CLOUD_ERROR_NONE);
    korvane_cloud_list_destroy(list);

    korvane_cloud_list_h read = nullptr;
    ASSERT_EQ(korvane_cloud_file_create_record_list(path.c_str(), &read), KORVANE_CLOUD_ERROR_NONE);
    int count = 0;
    korvane_cloud_list_get_record_count(read, &count);
    EXPECT_EQ(count, 2);
    ASSERT_EQ(korvane_cloud_list_move_to_first(read), KORVANE_CLOUD_ERROR_NONE);
    EXPECT_EQ(valueOf(read), "{\"x\":\"a\\nb\"}");
    EXPECT_EQ(korvane_cloud_list_move_to_next(read), KORVANE_CLOUD_ERROR_NONE);
    EXPECT_EQ(valueOf(read), "<unset>");
    EXPECT_EQ(korvane_cloud_list_move_to_next(read), KORVANE_CLOUD_ERROR_NO_DATA);
    EXPECT_EQ(valueOf(read), "<none>");
    korvane_cloud_list_destroy(read);
}

TEST(CloudClientTest, BadFilesAndRecordsWithoutKeysAreRefused) {
    testsupport::TempRoot root;
    std::string path = root.path() + "/bad.json";
    korvane_cloud_list_h list = nullptr;
    EXPECT_EQ(korvane_cloud_file_create_record_list(path.c_str(), &list),
              KORVANE_CLOUD_ERROR_INVALID_FILE);
    g_file_set_contents(path.c_str(), "{\"records\": [{\"key\": 5}]}", -1, nullptr);
    EXPECT_EQ(korvane_cloud_file_create_record_list(path.c_str(), &list),
              KORVANE_CLOUD_ERROR_INVALID_FILE);
    EXPECT_EQ(list, nullptr);

    korvane_cloud_list_create(&list);
    korvane_cloud_record_h keyless = nullptr;
    korvane_cloud_record_create(&keyless);
    korvane_cloud_list_add(list, keyless);
    EXPECT_EQ(korvane_cloud_file_create_file(list, path.c_str()),
              KORVANE_CLOUD_ERROR_INVALID_PARAMETER);
    korvane_cloud_list_destroy(list);
}

TEST(CloudClientTest, WithoutAServiceTheClientCannotStart) {
    testsupport::TempRoot root;
    EXPECT_EQ(korvane_cloud_initialize(), KORVANE_CLOUD_ERROR_SERVICE_UNAVAILABLE);
    EXPECT_EQ(korvane_cloud_backup_record_set_preparation_cb([](void*) {}, nullptr),
              KORVANE_CLOUD_ERROR_NOT_INITIALIZED);
    EXPECT_EQ(korvane_cloud_backup_record_send_backup_path("/x", true),
              KORVANE_CLOUD_ERROR_NOT_INITIALIZED);
}

struct SessionLog {
    int preparations = 0;
    int completions = 0;
    bool success = true;
};

std::string readLine(GDataInputStream* in) {
    gchar* line = g_data_input_stream_read_line(in, nullptr, nullptr, nullptr);
    std::string copy = line ? line : "";
    g_free(line);
    return copy;
}

// A service that answers a request and then goes away ends the program's
// session as failed, so the program can clean up instead of waiting forever.
TEST(CloudClientTest, ClientAnswersTheServiceAndEndsTheSessionWhenItGoesAway) {
    testsupport::TempRoot root;
    g_mkdir_with_parents((root.path() + "/run").c_str(), 0700);
    GSocketListener* listener = g_socket_listener_new();
    GSocketAddress* address =
        g_unix_socket_address_new((root.path() + "/run/korvane-cloud.sock").c_str());
    ASSERT_TRUE(g_socket_listener_add_address(listener, address, G_SOCKET_TYPE_STREAM,
                                              G_SOCKET_PROTOCOL_DEFAULT, nullptr, nullptr,
                                              nullptr));
    g_object_unref(address);

    ASSERT_EQ(korvane_cloud_initialize(), KORVANE_CLOUD_ERROR_NONE);
    GSocketConnection* service = g_socket_listener_accept(listener, nullptr, nullptr, nullptr);
    ASSERT_NE(service, nullptr);
    GDataInputStream* in =
        g_data_input_stream_new(g_io_stream_get_input_stream(G_IO_STREAM(service)));
    EXPECT_NE(readLine(in).find("\"msg\":\"hello\""), std::string::npos);

    SessionLog log;
    korvane_cloud_backup_record_set_preparation_cb(
        [](void* data) {
            ++static_cast<SessionLog*>(data)->preparations;
            korvane_cloud_backup_record_send_preparation_completed_response(true);
        },
        &log);
    korvane_cloud_backup_record_set_completed_cb(
        [](bool success, void* data) {
            ++static_cast<SessionLog*>(data)->completions;
            static_cast<SessionLog*>(data)->success = success;
        },
        &log);

    const char request[] = "{\"msg\":\"backup_preparation\"}\n";
    g_output_stream_write_all(g_io_stream_get_output_stream(G_IO_STREAM(service)), request,
                              sizeof(request) - 1, nullptr, nullptr, nullptr);
    ASSERT_TRUE(testsupport::runUntil([&] { return log.preparations == 1; }, 5000));
    std::string answer = readLine(in);
    EXPECT_NE(answer.find("\"msg\":\"backup_preparation_completed\""), std::string::npos) << answer;
    EXPECT_NE(answer.find("\"result\":true"), std::string::npos) << answer;

    g_io_stream_close(G_IO_STREAM(service), nullptr, nullptr);
    ASSERT_TRUE(testsupport::runUntil([&] { return log.completions > 0; }, 5000));
    EXPECT_EQ(log.completions, 1);
    EXPECT_FALSE(log.success);

    EXPECT_EQ(korvane_cloud_deinitialize(), KORVANE_CLOUD_ERROR_NONE);
    g_object_unref(in);
    g_object_unref(service);
    g_socket_listener_close(listener);
    g_object_unref(listener);
}

}  // namespace
