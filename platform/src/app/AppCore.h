// The part of every application framework that does not depend on the
// toolkit: the single-instance socket, the launch requests it receives and
// the first request of a start.
#pragma once

#include <functional>
#include <string>

#include "ostra/app_control.h"

namespace ostra {

class AppCore {
  public:
    // Called on the main context for every launch request; the request is
    // destroyed after the call (clone it to answer later).
    using LaunchFn = std::function<void(app_control_h request, bool firstLaunch)>;

    enum class Start {
        Listening,        // this process is the app's instance
        HandedToRunning,  // another instance runs and got the request; exit
        Failed,
    };

    // Claims the app's socket. When another instance answers on it, this
    // start's request goes to that instance instead.
    static Start start(LaunchFn onLaunch);
    // After the app's create step: the first request is the one a launcher
    // hands over (started with OSTRA_LAUNCH_PENDING=1), else a main-menu launch.
    static void deliverFirstRequest();
    static void stop();
    static const std::string& appId();
};

}  // namespace ostra
