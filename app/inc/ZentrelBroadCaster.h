// The program-wide signal on which the application announces changes every
// open screen must follow ("language,changed").
#pragma once

#include <WSignal.h>

#include <string>

class ZentrelBroadCaster {
  public:
    using Signal = brisa::WSignal<void(const std::string&, void*)>;

    // Creates the broadcaster on first use.
    static Signal& getBroadCaster();
    static void deleteBroadCaster();

    virtual ~ZentrelBroadCaster();

  private:
    ZentrelBroadCaster();

    static ZentrelBroadCaster* __instance;
    Signal __broadCaster;
};
