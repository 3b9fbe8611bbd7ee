#include "CloudTestSupport.h"

#include <gio/gio.h>
#include <glib/gstdio.h>

#include <cstdlib>
#include <cstring>
#include <fstream>

#include "ZentrelStorageMgr.h"

namespace cloudtest {

// Outputs go to files, not pipes: a backup program that ostractl started
// inherits them and may outlive it.
Run ostractl(const std::vector<std::string>& args) {
    std::vector<const gchar*> argv{OSTRACTL_PATH};
    for (const auto& a : args) {
        argv.push_back(a.c_str());
    }
    argv.push_back(nullptr);
    gchar* dir = g_dir_make_tmp("cloud-run-XXXXXX", nullptr);
    std::string outPath = std::string(dir) + "/out";
    std::string errPath = std::string(dir) + "/err";
    GSubprocessLauncher* launcher = g_subprocess_launcher_new(G_SUBPROCESS_FLAGS_NONE);
    g_subprocess_launcher_set_stdout_file_path(launcher, outPath.c_str());
    g_subprocess_launcher_set_stderr_file_path(launcher, errPath.c_str());
    GSubprocess* process = g_subprocess_launcher_spawnv(launcher, argv.data(), nullptr);
    Run run;
    if (process && g_subprocess_wait(process, nullptr, nullptr)) {
        run.status =
            g_subprocess_get_if_exited(process) ? g_subprocess_get_exit_status(process) : -1;
    }
    run.out = testsupport::readFile(outPath);
    run.err = testsupport::readFile(errPath);
    g_clear_object(&process);
    g_object_unref(launcher);
    g_remove(outPath.c_str());
    g_remove(errPath.c_str());
    g_rmdir(dir);
    g_free(dir);
    return run;
}

void writeBackup(const std::string& path, const std::string& valueJson) {
    JsonBuilder* builder = json_builder_new();
    json_builder_begin_object(builder);
    json_builder_set_member_name(builder, "records");
    json_builder_begin_array(builder);
    json_builder_begin_object(builder);
    json_builder_set_member_name(builder, "key");
    json_builder_add_string_value(builder, "ZENTREL_DATA_01");
    json_builder_set_member_name(builder, "date");
    json_builder_add_string_value(builder, "1700000000000");
    json_builder_set_member_name(builder, "value");
    json_builder_add_string_value(builder, valueJson.c_str());
    json_builder_end_object(builder);
    json_builder_end_array(builder);
    json_builder_end_object(builder);
    JsonNode* root = json_builder_get_root(builder);
    gchar* text = json_to_string(root, TRUE);
    std::ofstream(path) << text;
    g_free(text);
    json_node_unref(root);
    g_object_unref(builder);
}

JsonNode* readRecords(const std::string& path) {
    JsonParser* parser = json_parser_new();
    JsonNode* records = nullptr;
    if (json_parser_load_from_file(parser, path.c_str(), nullptr)) {
        JsonNode* root = json_parser_get_root(parser);
        if (root && JSON_NODE_HOLDS_OBJECT(root)) {
            JsonNode* member = json_object_get_member(json_node_get_object(root), "records");
            records = member ? json_node_copy(member) : nullptr;
        }
    }
    g_object_unref(parser);
    return records;
}

void saveSettings(const Settings& settings) {
    ZentrelStorageMgr* store = ZentrelStorageMgr::getInstance();
    store->saveSettingManualMode(settings.manual);
    store->saveSettingDistance(settings.distance);
    store->saveSettingPressure(settings.pressure);
    store->saveSettingAlert(settings.alert);
    store->saveDataSLP(settings.slp);
    store->saveAutoRefresh(settings.autoRefresh);
}

Settings loadSettings() {
    ZentrelStorageMgr* store = ZentrelStorageMgr::getInstance();
    return {store->getSettingManualMode(), store->getSettingDistance(), store->getSettingPressure(),
            store->getSettingAlert(),      store->getDataSLP(),         store->getAutoRefresh()};
}

std::string trustedFile(const std::string& name) {
    const char* root = getenv("OSTRA_ROOT");
    return std::string(root ? root : "") + "/apps/" + OSTRA_TEST_PACKAGE_ID + "/shared/trusted/" +
           name;
}

int historyEntryCount() {
    char* history = ZentrelStorageMgr::getInstance()->getDataSLPHistory();
    int count = 0;
    for (const char* at = history; at && (at = strstr(at, "T:")); at += 2) {
        ++count;
    }
    free(history);
    return count;
}

// A backup program left waiting (a launch it did not answer) ends with the
// next completed session.
CloudRoot::~CloudRoot() {
    std::string socket = _root.path() + "/run/" + CLOUD_APP_ID + ".sock";
    if (g_file_test(socket.c_str(), G_FILE_TEST_EXISTS)) {
        ostractl({"cloud", "info", "--timeout", "5"});
    }
}

}  // namespace cloudtest
