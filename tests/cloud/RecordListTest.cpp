// The cloud client's record lists and record files, in process.
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

TEST(RecordListTest, FileRoundTripKeepsRecordsInOrderAndTheCursorStopsAtTheEnd) {
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

TEST(RecordListTest, BadFilesAndRecordsWithoutKeysAreRefused) {
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

TEST(RecordListTest, WithoutAServiceTheClientCannotStart) {
    testsupport::TempRoot root;
    EXPECT_EQ(korvane_cloud_initialize(), KORVANE_CLOUD_ERROR_SERVICE_UNAVAILABLE);
    EXPECT_EQ(korvane_cloud_backup_record_set_preparation_cb([](void*) {}, nullptr),
              KORVANE_CLOUD_ERROR_NOT_INITIALIZED);
    EXPECT_EQ(korvane_cloud_backup_record_send_backup_path("/x", true),
              KORVANE_CLOUD_ERROR_NOT_INITIALIZED);
}

}  // namespace
