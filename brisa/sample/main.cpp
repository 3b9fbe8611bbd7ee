#include "SampleApp.h"

int main(int argc, char* argv[]) {
    SampleApp app;
    return app.start(argc, argv);
}
