// Helpers of the backup tests: ostractl cloud as a separate process, backup
// files as JSON, the settings as the store holds them.
#pragma once

#include <json-glib/json-glib.h>

#include <string>
#include <vector>

#include "TestSupport.h"

namespace cloudtest {

struct Run {
    int status = -1;
    std::string out;
    std::string err;
};

// ostractl with these arguments, to its end.
Run ostractl(const std::vector<std::string>& args);

// A backup file holding one record whose value is valueJson.
void writeBackup(const std::string& path, const std::string& valueJson);
// The records of a backup file as a JSON array node (the caller unrefs), or null.
JsonNode* readRecords(const std::string& path);

struct Settings {
    int manual;
    int distance;
    int pressure;
    int alert;
    double slp;
    int autoRefresh;
};
void saveSettings(const Settings& settings);
Settings loadSettings();

// The shared trusted directory's file of that name.
std::string trustedFile(const std::string& name);
int historyEntryCount();

// A test root whose backup program is ended at the end, even after a failure.
class CloudRoot {
  public:
    CloudRoot() = default;
    ~CloudRoot();
    const std::string& path() const { return _root.path(); }

  private:
    testsupport::TempRoot _root;
};

}  // namespace cloudtest
