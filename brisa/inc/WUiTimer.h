#ifndef BRISA_WUI_TIMER_H
#define BRISA_WUI_TIMER_H

#include <Ecore.h>
#include <Evas.h>

#include <functional>
#include <memory>

namespace brisa {

class WUiTimer;
using WUiTimerWeakPtr = std::weak_ptr<WUiTimer>;

// A main-loop callback that runs once or repeatedly. The framework owns the
// timer; callers keep a weak handle, which expires when the timer ends, is
// destroyed, or its owner object is deleted.
class WUiTimer : public std::enable_shared_from_this<WUiTimer> {
  public:
    enum Type { IDLER = 0, ANIMATOR = 1, TIMER = 2, JOB = 3 };

    // Returns true to run again, false to stop. A job runs once whatever it returns.
    using Callback = std::function<bool(void* data)>;

    static WUiTimerWeakPtr addTimer(double seconds, Callback cb, void* data,
                                    Evas_Object* owner = nullptr);
    static WUiTimerWeakPtr addIdler(Callback cb, void* data, Evas_Object* owner = nullptr);
    static WUiTimerWeakPtr addAnimator(Callback cb, void* data, Evas_Object* owner = nullptr);
    static WUiTimerWeakPtr addJob(Callback cb, void* data, Evas_Object* owner = nullptr);

    // Cancels the timer behind the handle, if it still runs, and resets the handle.
    static void destroy(WUiTimerWeakPtr& handle);
    void destroy();

    Type getType() const { return _type; }

    WUiTimer(const WUiTimer&) = delete;
    WUiTimer& operator=(const WUiTimer&) = delete;
    ~WUiTimer();

  private:
    WUiTimer(Type type, Callback cb, void* data, Evas_Object* owner);
    static WUiTimerWeakPtr _start(std::shared_ptr<WUiTimer> timer, double seconds);
    bool _fire();
    void _release();
    static Eina_Bool _ecoreCb(void* data);
    static void _jobCb(void* data);
    static void _ownerDelCb(void* data, Evas* evas, Evas_Object* obj, void* eventInfo);

    Type _type;
    Callback _cb;
    void* _data;
    Evas_Object* _owner;
    void* _handle = nullptr;
    bool _inCallback = false;
    bool _finished = false;
};

}  // namespace brisa

#endif
