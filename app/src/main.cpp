#include <cstdlib>

#include "ZentrelApp.h"
#include "ZentrelLog.h"

int main(int argc, char* argv[]) {
    setenv("ELM_PROD_THEME", "pulse", 1);
    auto* app = new ZentrelApp();
    int ret = app->start(argc, argv);
    ZLOGI("app return=%d", ret);
    delete app;
    return ret;
}
