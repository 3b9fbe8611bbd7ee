#ifndef BRISA_WSIGNAL_H
#define BRISA_WSIGNAL_H

#include <Evas.h>
#include <ostra/dlog.h>

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "WSignalIdGenerator.h"

namespace brisa {

template <typename Signature>
class WSignal;

// A listener list keyed by listener id. Listeners run in ascending id order;
// a listener may add or remove listeners (itself included) while the signal
// is emitting, and a listener tied to an Evas object goes away with it.
template <typename... Args>
class WSignal<void(Args...)> {
  public:
    using Callback = std::function<void(Args...)>;

    WSignal() = default;
    WSignal(const WSignal&) = delete;
    WSignal& operator=(const WSignal&) = delete;

    virtual ~WSignal() {
        *__alive = false;
        for (auto& entry : __listeners)
            __untie(*entry.second);
        for (auto& info : __addedListeners)
            __untie(*info);
    }

    // Returns the listener id, or -1 for an empty callback.
    int addListener(Callback cb, Evas_Object* evasObj = nullptr) {
        if (!cb) {
            dlog_print(DLOG_ERROR, "BRISA", "WSignal: empty listener refused");
            return -1;
        }
        auto info = std::make_unique<ListenerInfo>();
        info->cb = std::move(cb);
        info->evasObj = evasObj;
        info->id = WSignalIdGenerator::generate();
        info->signal = this;
        const int id = info->id;
        __tie(*info);
        if (__guardFlag)
            __addedListeners.push_back(std::move(info));
        else
            __listeners.emplace(id, std::move(info));
        return id;
    }

    void removeListener(int id) {
        ListenerInfo* info = __find(id);
        if (!info || info->removed) {
            dlog_print(DLOG_ERROR, "BRISA", "Already removed listener! =%d", id);
            return;
        }
        if (__guardFlag) {
            info->removed = true;
            return;
        }
        __untie(*info);
        __listeners.erase(id);
    }

    void onEmit(Args... args) {
        const bool outerEmission = !__guardFlag;
        __guardFlag = true;
        std::shared_ptr<bool> alive = __alive;
        // Ids only grow, so walking by "next id above the last one" stays
        // valid while listeners are erased or added underneath us.
        int lastId = 0;
        while (true) {
            auto it = __listeners.upper_bound(lastId);
            if (it == __listeners.end())
                break;
            lastId = it->first;
            ListenerInfo& info = *it->second;
            if (info.removed)
                continue;
            Callback cb = info.cb;
            cb(args...);
            if (!*alive)
                return;
        }
        if (outerEmission) {
            __guardFlag = false;
            __settle();
        }
    }

    bool empty() const {
        for (auto& entry : __listeners)
            if (!entry.second->removed)
                return false;
        for (auto& info : __addedListeners)
            if (!info->removed)
                return false;
        return true;
    }

  private:
    struct ListenerInfo {
        Callback cb;
        Evas_Object* evasObj = nullptr;
        bool removed = false;
        int id = 0;
        WSignal* signal = nullptr;
    };

    ListenerInfo* __find(int id) {
        auto it = __listeners.find(id);
        if (it != __listeners.end())
            return it->second.get();
        for (auto& info : __addedListeners)
            if (info->id == id)
                return info.get();
        return nullptr;
    }

    void __tie(ListenerInfo& info) {
        if (info.evasObj)
            evas_object_event_callback_add(info.evasObj, EVAS_CALLBACK_DEL, __objDelCb, &info);
    }

    void __untie(ListenerInfo& info) {
        if (!info.evasObj)
            return;
        evas_object_event_callback_del_full(info.evasObj, EVAS_CALLBACK_DEL, __objDelCb, &info);
        info.evasObj = nullptr;
    }

    // Drops entries removed during the emission and lets the listeners added
    // meanwhile join.
    void __settle() {
        for (auto it = __listeners.begin(); it != __listeners.end();) {
            if (it->second->removed) {
                __untie(*it->second);
                it = __listeners.erase(it);
            } else {
                ++it;
            }
        }
        std::vector<std::unique_ptr<ListenerInfo>> added;
        added.swap(__addedListeners);
        for (auto& info : added) {
            if (info->removed) {
                __untie(*info);
                continue;
            }
            const int id = info->id;
            __listeners.emplace(id, std::move(info));
        }
    }

    static void __objDelCb(void* data, Evas*, Evas_Object*, void*) {
        auto* info = static_cast<ListenerInfo*>(data);
        // The object is going away; its callback list must not be touched again.
        info->evasObj = nullptr;
        if (!info->removed)
            info->signal->removeListener(info->id);
    }

    std::map<int, std::unique_ptr<ListenerInfo>> __listeners;
    std::vector<std::unique_ptr<ListenerInfo>> __addedListeners;
    bool __guardFlag = false;
    std::shared_ptr<bool> __alive = std::make_shared<bool>(true);
};

}  // namespace brisa

#endif
