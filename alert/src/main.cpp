#include "ZentrelAlert.h"

int main(int argc, char* argv[]) {
    return ZentrelAlert::run(argc, argv);
}
