// Hears when the location service comes up and how an enable request ended.
#pragma once

enum locationState {
    NOT_READY = -1,
    DISABLED = 0,
    ENABLED = 1,
};

class IZentrelLocationListener {
  public:
    virtual bool onStateChanged(int state) = 0;
    virtual bool onLocationEnabled(bool enabled) = 0;

  protected:
    virtual ~IZentrelLocationListener() = default;
};
