// Hears how the widget's own calibration goes.
#pragma once

enum calEvent {
    STARTED = 0,
    CANCELED = 1,
    COMPLETED = 2,
};

class IZentrelWidgetCalListener {
  public:
    virtual void onCalEvent(calEvent event) = 0;
    virtual ~IZentrelWidgetCalListener() = default;
};
