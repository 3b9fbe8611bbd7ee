#include "AppLifecycle.h"

#include <Elementary.h>

#include "PlatformLog.h"

namespace ostra {

namespace {

// The window's signals that send the program to the back or bring it forth.
constexpr const char* kPauseSignals[] = {"focus,out", "iconified", "withdrawn"};
constexpr const char* kResumeSignals[] = {"focus,in", "normal"};

}  // namespace

AppLifecycle::AppLifecycle(Hook onPause, Hook onResume)
    : _onPause(std::move(onPause)), _onResume(std::move(onResume)) {}

// The window may outlive this object: it must not call back into it.
AppLifecycle::~AppLifecycle() {
    _stopWaitingForFirstFrame();
    if (!_win) {
        return;
    }
    for (const char* signal : kPauseSignals) {
        evas_object_smart_callback_del_full(_win, signal, _pauseCb, this);
    }
    for (const char* signal : kResumeSignals) {
        evas_object_smart_callback_del_full(_win, signal, _resumeCb, this);
    }
    evas_object_event_callback_del_full(_win, EVAS_CALLBACK_DEL, _winDelCb, this);
}

void AppLifecycle::follow(Evas_Object* win) {
    if (!win || win == _win) {
        return;
    }
    _win = win;
    for (const char* signal : kPauseSignals) {
        evas_object_smart_callback_add(win, signal, _pauseCb, this);
    }
    for (const char* signal : kResumeSignals) {
        evas_object_smart_callback_add(win, signal, _resumeCb, this);
    }
    evas_object_event_callback_add(win, EVAS_CALLBACK_DEL, _winDelCb, this);
}

void AppLifecycle::resumeAfterFirstFrame() {
    if (!_win) {
        resume();
        return;
    }
    if (!_paused || _waitingForFirstFrame) {
        return;
    }
    _waitingForFirstFrame = true;
    evas_event_callback_add(evas_object_evas_get(_win), EVAS_CALLBACK_RENDER_POST, _firstFrameCb,
                            this);
}

// The resume runs in a turn of its own, after every other first-frame hook.
void AppLifecycle::_firstFrameCb(void* data, Evas* evas, void*) {
    auto* self = static_cast<AppLifecycle*>(data);
    evas_event_callback_del_full(evas, EVAS_CALLBACK_RENDER_POST, _firstFrameCb, self);
    self->_resumeJob = ecore_job_add(_resumeJobCb, self);
}

void AppLifecycle::_resumeJobCb(void* data) {
    auto* self = static_cast<AppLifecycle*>(data);
    self->_resumeJob = nullptr;
    self->resume();
}

void AppLifecycle::_stopWaitingForFirstFrame() {
    if (!_waitingForFirstFrame) {
        return;
    }
    _waitingForFirstFrame = false;
    if (_resumeJob) {
        ecore_job_del(_resumeJob);
        _resumeJob = nullptr;
    } else if (_win) {
        evas_event_callback_del_full(evas_object_evas_get(_win), EVAS_CALLBACK_RENDER_POST,
                                     _firstFrameCb, this);
    }
}

void AppLifecycle::resume() {
    _stopWaitingForFirstFrame();
    if (!_paused) {
        return;
    }
    _paused = false;
    OSTRA_LOGI("app resumed");
    if (_onResume) {
        _onResume();
    }
}

void AppLifecycle::pause() {
    _stopWaitingForFirstFrame();
    if (_paused) {
        return;
    }
    _paused = true;
    OSTRA_LOGI("app paused");
    if (_onPause) {
        _onPause();
    }
}

void AppLifecycle::_pauseCb(void* data, Evas_Object*, void*) {
    static_cast<AppLifecycle*>(data)->pause();
}

void AppLifecycle::_resumeCb(void* data, Evas_Object* obj, void*) {
    // A focus event of a hidden window does not bring the app to the front.
    if (evas_object_visible_get(obj)) {
        static_cast<AppLifecycle*>(data)->resume();
    }
}

void AppLifecycle::_winDelCb(void* data, Evas*, Evas_Object*, void*) {
    auto* self = static_cast<AppLifecycle*>(data);
    self->pause();
    self->_win = nullptr;
}

}  // namespace ostra
