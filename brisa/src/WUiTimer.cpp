#include "WUiTimer.h"

#include <ostra/dlog.h>

#include <map>

namespace brisa {

namespace {

// The framework's ownership of every live timer.
std::map<WUiTimer*, std::shared_ptr<WUiTimer>>& liveTimers() {
    static std::map<WUiTimer*, std::shared_ptr<WUiTimer>> timers;
    return timers;
}

}  // namespace

WUiTimer::WUiTimer(Type type, Callback cb, void* data, Evas_Object* owner)
    : _type(type), _cb(std::move(cb)), _data(data), _owner(owner) {}

WUiTimer::~WUiTimer() = default;

WUiTimerWeakPtr WUiTimer::addTimer(double seconds, Callback cb, void* data, Evas_Object* owner) {
    if (seconds < 0) {
        dlog_print(DLOG_ERROR, "BRISA", "WUiTimer: negative interval %f, using 0", seconds);
        seconds = 0;
    }
    return _start(std::shared_ptr<WUiTimer>(new WUiTimer(TIMER, std::move(cb), data, owner)),
                  seconds);
}

WUiTimerWeakPtr WUiTimer::addIdler(Callback cb, void* data, Evas_Object* owner) {
    return _start(std::shared_ptr<WUiTimer>(new WUiTimer(IDLER, std::move(cb), data, owner)), 0);
}

WUiTimerWeakPtr WUiTimer::addAnimator(Callback cb, void* data, Evas_Object* owner) {
    return _start(std::shared_ptr<WUiTimer>(new WUiTimer(ANIMATOR, std::move(cb), data, owner)), 0);
}

WUiTimerWeakPtr WUiTimer::addJob(Callback cb, void* data, Evas_Object* owner) {
    return _start(std::shared_ptr<WUiTimer>(new WUiTimer(JOB, std::move(cb), data, owner)), 0);
}

WUiTimerWeakPtr WUiTimer::_start(std::shared_ptr<WUiTimer> timer, double seconds) {
    if (!timer->_cb) {
        dlog_print(DLOG_ERROR, "BRISA", "WUiTimer: empty callback refused");
        return {};
    }
    WUiTimer* raw = timer.get();
    switch (timer->_type) {
        case IDLER:
            raw->_handle = ecore_idler_add(_ecoreCb, raw);
            break;
        case ANIMATOR:
            raw->_handle = ecore_animator_add(_ecoreCb, raw);
            break;
        case TIMER:
            raw->_handle = ecore_timer_add(seconds, _ecoreCb, raw);
            break;
        case JOB:
            raw->_handle = ecore_job_add(_jobCb, raw);
            break;
    }
    if (!raw->_handle) {
        dlog_print(DLOG_ERROR, "BRISA", "WUiTimer: main loop refused timer of type %d", raw->_type);
        return {};
    }
    if (raw->_owner)
        evas_object_event_callback_add(raw->_owner, EVAS_CALLBACK_DEL, _ownerDelCb, raw);
    liveTimers()[raw] = timer;
    return timer;
}

void WUiTimer::destroy(WUiTimerWeakPtr& handle) {
    if (auto timer = handle.lock())
        timer->destroy();
    handle.reset();
}

void WUiTimer::destroy() {
    if (_finished)
        return;
    _finished = true;
    // Inside its own callback the main loop drops the handle when we return false.
    if (!_inCallback) {
        switch (_type) {
            case IDLER:
                ecore_idler_del(static_cast<Ecore_Idler*>(_handle));
                break;
            case ANIMATOR:
                ecore_animator_del(static_cast<Ecore_Animator*>(_handle));
                break;
            case TIMER:
                ecore_timer_del(static_cast<Ecore_Timer*>(_handle));
                break;
            case JOB:
                ecore_job_del(static_cast<Ecore_Job*>(_handle));
                break;
        }
    }
    _handle = nullptr;
    _release();
}

void WUiTimer::_release() {
    if (_owner) {
        evas_object_event_callback_del_full(_owner, EVAS_CALLBACK_DEL, _ownerDelCb, this);
        _owner = nullptr;
    }
    if (!_inCallback)
        liveTimers().erase(this);
}

bool WUiTimer::_fire() {
    // Keeps this object alive even if the callback destroys it.
    std::shared_ptr<WUiTimer> self = shared_from_this();
    _inCallback = true;
    Callback cb = _cb;
    const bool again = cb(_data) && _type != JOB;
    _inCallback = false;
    if (_finished || !again) {
        _finished = true;
        _handle = nullptr;
        _release();
        return false;
    }
    return true;
}

Eina_Bool WUiTimer::_ecoreCb(void* data) {
    return static_cast<WUiTimer*>(data)->_fire() ? ECORE_CALLBACK_RENEW : ECORE_CALLBACK_CANCEL;
}

void WUiTimer::_jobCb(void* data) {
    static_cast<WUiTimer*>(data)->_fire();
}

void WUiTimer::_ownerDelCb(void* data, Evas*, Evas_Object*, void*) {
    auto* timer = static_cast<WUiTimer*>(data);
    timer->_owner = nullptr;
    timer->destroy();
}

}  // namespace brisa
