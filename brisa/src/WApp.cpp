#include "WApp.h"

#include <ostra/dlog.h>

#include "WWindowController.h"

namespace brisa {

namespace {

WApp* instance = nullptr;

}  // namespace

WApp::WApp() {
    if (instance)
        dlog_print(DLOG_ERROR, "BRISA", "a second WApp replaces the first");
    instance = this;
}

WApp::~WApp() {
    _win.reset();
    if (instance == this)
        instance = nullptr;
}

WApp* WApp::getInstance() {
    return instance;
}

int WApp::start(int argc, char* argv[]) {
    onStart(argc, argv);
    ui_app_lifecycle_callback_s callbacks = {};
    callbacks.create = _createCb;
    callbacks.terminate = _terminateCb;
    callbacks.pause = _pauseCb;
    callbacks.resume = _resumeCb;
    callbacks.app_control = _appControlCb;
    return ui_app_main(argc, argv, &callbacks, this);
}

void WApp::attachWindowController(WWindowController* win) {
    _win.reset(win);
}

void WApp::onStart(int, char*[]) {}

bool WApp::onCreate() {
    return true;
}

void WApp::onTerminate() {}

void WApp::onPause() {}

void WApp::onResume() {}

void WApp::onAppControl(app_control_h, bool) {}

bool WApp::_createCb(void* data) {
    return static_cast<WApp*>(data)->onCreate();
}

void WApp::_terminateCb(void* data) {
    auto* self = static_cast<WApp*>(data);
    self->onTerminate();
    self->_win.reset();
}

void WApp::_pauseCb(void* data) {
    static_cast<WApp*>(data)->onPause();
}

void WApp::_resumeCb(void* data) {
    static_cast<WApp*>(data)->onResume();
}

void WApp::_appControlCb(app_control_h request, void* data) {
    auto* self = static_cast<WApp*>(data);
    const bool first = self->_firstLaunch;
    self->_firstLaunch = false;
    self->onAppControl(request, first);
}

}  // namespace brisa
