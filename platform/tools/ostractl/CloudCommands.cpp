// ostractl cloud: the platform's cloud backup service, driven from the shell.
// It launches the backup program with an operation, walks it through the
// requests in the order the program relies on, and keeps the backup as a
// JSON record list in FILE.
#include <glib.h>
#include <json-glib/json-glib.h>

#include <cstdio>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "CloudRecordList.h"
#include "CloudSession.h"
#include "Command.h"
#include "ostra/korvane_cloud.h"

namespace {

constexpr int kDefaultTimeoutSeconds = 10;

struct CloudOptions {
    std::string verb;
    std::string file;
    std::string appId = OSTRA_CLOUD_APP_ID;
    std::string operation;
    int timeoutSeconds = kDefaultTimeoutSeconds;
};

int fail(const std::string& message) {
    fprintf(stderr, "ostractl: %s\n", message.c_str());
    return 1;
}

bool resultOf(JsonObject* message) {
    return json_object_get_boolean_member_with_default(message, "result", FALSE);
}

bool recordsOf(JsonObject* message, korvane_cloud_list_s* list, std::string* error) {
    JsonNode* records = json_object_get_member(message, "records");
    if (!records) {
        *error = "no record list";
        return false;
    }
    return ostra::CloudRecordList::fromJson(records, list, error);
}

std::string dateText(const std::optional<std::string>& millis) {
    if (!millis) {
        return "no date";
    }
    time_t seconds = static_cast<time_t>(g_ascii_strtoull(millis->c_str(), nullptr, 10) / 1000);
    struct tm local;
    char text[64];
    if (!localtime_r(&seconds, &local) || !strftime(text, sizeof(text), "%F %T %Z", &local)) {
        return *millis;
    }
    return *millis + " (" + text + ")";
}

// Waits for the "ready" answer to a preparation request.
bool prepare(ostractl::CloudSession& session, const char* request, const char* answer,
             std::string* error) {
    session.send(request);
    JsonObject* message = session.expect(answer, error);
    if (!message) {
        return false;
    }
    bool ready = resultOf(message);
    json_object_unref(message);
    if (!ready) {
        *error = "the program is not ready";
    }
    return ready;
}

bool keysAndDates(ostractl::CloudSession& session, korvane_cloud_list_s* list, std::string* error) {
    session.send("backup_keys_and_dates");
    JsonObject* message = session.expect("keys_and_dates", error);
    if (!message) {
        return false;
    }
    bool ok = resultOf(message) && recordsOf(message, list, error);
    json_object_unref(message);
    if (ok && list->records.empty()) {
        *error = "the program announced no record";
        return false;
    }
    return ok;
}

// Hands the announced records to the program and reads the file it fills.
bool backupRecords(ostractl::CloudSession& session, const korvane_cloud_list_s& announced,
                   korvane_cloud_list_s* backup, std::string* error) {
    JsonObject* request = json_object_new();
    json_object_set_member(request, "records", ostra::CloudRecordList::toJson(announced));
    session.send("backup", request);
    JsonObject* message = session.expect("backup_path", error);
    if (!message) {
        return false;
    }
    bool result = resultOf(message);
    std::string path = json_object_get_string_member_with_default(message, "path", "");
    json_object_unref(message);
    if (!result) {
        *error = "the program has nothing to back up";
        return false;
    }
    if (!ostra::CloudRecordList::readFile(path, backup, error)) {
        *error = "the program's backup file " + path + " is unusable: " + *error;
        return false;
    }
    if (backup->records.empty()) {
        *error = "the program's backup file holds no record";
        return false;
    }
    return true;
}

// Claims the service socket and launches the program with the operation
// (the option's, else the verb's own).
bool startSession(ostractl::CloudSession& session, const CloudOptions& options,
                  const char* operation, std::string* error) {
    return session.listen(error) &&
           session.launch(options.operation.empty() ? operation : options.operation, error);
}

int backup(const CloudOptions& options) {
    ostractl::CloudSession session(options.appId, options.timeoutSeconds);
    std::string error;
    if (!startSession(session, options, KORVANE_CLOUD_OPERATION_BACKUP_URI, &error)) {
        return fail(error);
    }
    korvane_cloud_list_s announced;
    korvane_cloud_list_s records;
    bool ok = prepare(session, "backup_preparation", "backup_preparation_completed", &error) &&
              keysAndDates(session, &announced, &error) &&
              backupRecords(session, announced, &records, &error) &&
              ostra::CloudRecordList::writeFile(records, options.file, &error);
    session.complete("backup_completed", ok);
    if (!ok) {
        return fail("backup failed: " + error);
    }
    printf("backed up %zu record(s) to %s\n", records.records.size(), options.file.c_str());
    return 0;
}

// Refuses a FILE that cannot be a backup before anything is launched, so the
// store stays as it is.
bool readBackup(const std::string& file, korvane_cloud_list_s* records, std::string* error) {
    if (!g_file_test(file.c_str(), G_FILE_TEST_EXISTS)) {
        *error = file + " does not exist";
        return false;
    }
    if (!ostra::CloudRecordList::readFile(file, records, error)) {
        *error = file + " is not a backup: " + *error;
        return false;
    }
    if (records->records.empty()) {
        *error = file + " holds no backup record";
        return false;
    }
    return true;
}

bool restoreRecords(ostractl::CloudSession& session, const korvane_cloud_list_s& records,
                    korvane_cloud_list_s* confirmed, std::string* error) {
    session.send("restore_path");
    JsonObject* message = session.expect("restoration_path", error);
    if (!message) {
        return false;
    }
    bool result = resultOf(message);
    std::string path = json_object_get_string_member_with_default(message, "path", "");
    json_object_unref(message);
    if (!result || !g_path_is_absolute(path.c_str())) {
        *error = "the program named no restore file";
        return false;
    }
    if (!ostra::CloudRecordList::writeFile(records, path, error)) {
        return false;
    }
    JsonObject* request = json_object_new();
    json_object_set_string_member(request, "path", path.c_str());
    session.send("restoration", request);
    message = session.expect("record_list", error);
    if (!message) {
        return false;
    }
    result = resultOf(message) && recordsOf(message, confirmed, error);
    json_object_unref(message);
    if (!result) {
        *error = "the program restored nothing";
    }
    return result;
}

int restore(const CloudOptions& options) {
    korvane_cloud_list_s records;
    std::string error;
    if (!readBackup(options.file, &records, &error)) {
        return fail("restore refused: " + error);
    }
    ostractl::CloudSession session(options.appId, options.timeoutSeconds);
    if (!startSession(session, options, KORVANE_CLOUD_OPERATION_RESTORE_URI, &error)) {
        return fail(error);
    }
    korvane_cloud_list_s confirmed;
    bool ok = prepare(session, "restore_preparation", "restore_preparation_completed", &error) &&
              restoreRecords(session, records, &confirmed, &error);
    session.complete("restore_completed", ok);
    if (!ok) {
        return fail("restore failed: " + error);
    }
    printf("restored %zu record(s) from %s\n", confirmed.records.size(), options.file.c_str());
    return 0;
}

int info(const CloudOptions& options) {
    ostractl::CloudSession session(options.appId, options.timeoutSeconds);
    std::string error;
    if (!startSession(session, options, KORVANE_CLOUD_OPERATION_GET_BACKUP_INFO_URI, &error)) {
        return fail(error);
    }
    korvane_cloud_list_s announced;
    bool ok = prepare(session, "backup_preparation", "backup_preparation_completed", &error) &&
              keysAndDates(session, &announced, &error);
    session.complete("backup_completed", ok);
    if (!ok) {
        return fail("backup information failed: " + error);
    }
    for (const auto& record : announced.records) {
        printf("%s %s\n", record->key->c_str(), dateText(record->date).c_str());
    }
    return 0;
}

bool parseOptions(const std::vector<std::string>& args, CloudOptions* options) {
    std::vector<std::string> words;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        bool hasValue = i + 1 < args.size();
        long long seconds = 0;
        if (arg == "--app" && hasValue) {
            options->appId = args[++i];
        } else if (arg == "--operation" && hasValue) {
            options->operation = args[++i];
        } else if (arg == "--timeout" && hasValue && ostractl::parseInt(args[i + 1], &seconds) &&
                   seconds > 0 && seconds <= 3600) {
            options->timeoutSeconds = static_cast<int>(seconds);
            ++i;
        } else if (arg.rfind("--", 0) == 0) {
            return false;
        } else {
            words.push_back(arg);
        }
    }
    if (words.empty()) {
        return false;
    }
    options->verb = words[0];
    if (options->verb == "info") {
        return words.size() == 1;
    }
    if (words.size() != 2 || (options->verb != "backup" && options->verb != "restore")) {
        return false;
    }
    options->file = words[1];
    return true;
}

int cloud(const std::vector<std::string>& args) {
    CloudOptions options;
    if (!parseOptions(args, &options)) {
        return ostractl::usageError("cloud");
    }
    if (options.verb == "backup") {
        return backup(options);
    }
    if (options.verb == "restore") {
        return restore(options);
    }
    return info(options);
}

const ostractl::Registrar cloudVerb(
    {"cloud", "backup FILE | restore FILE | info [--app ID] [--operation URI] [--timeout S]",
     "back the settings up to FILE, restore them from FILE, or show what a backup holds", cloud});

}  // namespace
