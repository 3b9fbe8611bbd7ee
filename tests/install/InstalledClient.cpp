// A program built against an installed prefix with nothing but
// `pkg-config --cflags --libs zentrel-core`: it stores a sea-level pressure,
// reads it back, computes an altitude from it and checks the version the
// installed platform reports against the installed headers.
#include <ZentrelBuildConfig.h>
#include <ZentrelStorageMgr.h>

#include <cmath>
#include <cstdio>
#include <cstring>

int main() {
    ZentrelStorageMgr* store = ZentrelStorageMgr::getInstance();
    store->saveDataSLP(1020.5);
    double slp = store->getDataSLP();
    if (slp != 1020.5) {
        fprintf(stderr, "stored 1020.5 hPa, read back %.2f\n", slp);
        return 1;
    }
    // 898.75 hPa lies about 1,000 m above a standard sea-level pressure.
    double altitude = store->getAltivalue(898.75, 1013.25);
    if (std::fabs(altitude - 1000.0) > 15.0) {
        fprintf(stderr, "898.75 hPa under 1013.25 hPa gave %.1f m\n", altitude);
        return 1;
    }
    const char* version = nullptr;
    const char* updateVersion = nullptr;
    store->getAppVersion(&version, &updateVersion);
    if (!version || strcmp(version, ZENTREL_VERSION) != 0) {
        fprintf(stderr, "platform reports version %s, headers say %s\n", version ? version : "none",
                ZENTREL_VERSION);
        return 1;
    }
    printf("client: slp %.2f hPa, altitude %.0f m, version %s\n", slp, altitude, version);
    return 0;
}
