#include "ZentrelCloud.h"

int main(int argc, char* argv[]) {
    _appData ad;
    return ZentrelCloud::run(argc, argv, &ad);
}
