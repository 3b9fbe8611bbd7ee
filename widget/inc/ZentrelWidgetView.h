// The widget's screen: altitude and pressure with their units, two picker
// marks turned to the values, the drawn dial, taps that open the main
// program on the matching page, and the automatic SLP refresh on resume.
#pragma once

#include <Ecore.h>
#include <Elementary.h>
#include <cairo.h>

#include <memory>
#include <string>

#include "IZentrelSensorListener.h"
#include "IZentrelWidgetCalListener.h"
#include "ZentrelSensor.h"
#include "ZentrelWidgetCalController.h"
#include "ZentrelWidgetGauge.h"

enum valueType {
    ALTI = 0,
    BARO = 1,
};

enum viewState {
    INIT = 0,
    MEASURING = 1,
    MEASURED = 2,
};

class ZentrelWidgetView : public IZentrelSensorListener, public IZentrelWidgetCalListener {
  public:
    ZentrelWidgetView();
    ~ZentrelWidgetView() override;
    ZentrelWidgetView(const ZentrelWidgetView&) = delete;
    ZentrelWidgetView& operator=(const ZentrelWidgetView&) = delete;

    // The view's layout on parent, or null.
    Evas_Object* create(Evas_Object* parent);
    Evas_Object* getLayout() const { return _layout; }
    void resumed();
    void paused();
    void onLanguageChanged();
    void onFontChanged();

    bool onCurrentPressure(float pressure) override;
    void onCalEvent(calEvent event) override;

    viewState getState() const { return _state; }
    bool isLaunching() const { return _launching; }
    ZentrelWidgetGauge* getGauge() const { return _gauge.get(); }
    // What the screen reader says for the two halves.
    std::string getAltiAccessText() const;
    std::string getBaroAccessText() const;

  protected:
    // Seconds since the epoch; tests move it.
    virtual long long _currentTime() const;
    // Picker-mark angle in degrees (0 at 3 o'clock, clockwise).
    double _calcAngle(double pressure, valueType type) const;
    bool _isChanged(int alt, int baro);
    void _launchMainApp(int page);
    void _calibrate();

    std::unique_ptr<ZentrelWidgetCalController> _calController;

  private:
    void _createTitleLabel();
    void _setUnitTexts();
    void _registerAccess();
    Evas_Object* _addHands(const char* part);
    void _queueRotation();
    void _rotatePickerMark(double pressure);
    bool _rotateImage(Evas_Object* image, double angle);
    void _updateViewForLdu();
    void _setPressureTexts(double pressure, int baro);
    static Eina_Bool _rotateIdlerCb(void* data);
    static Eina_Bool _lduTimerCb(void* data);
    static Eina_Bool _launchTimerCb(void* data);
    static void _clickedCb(void* data, Evas_Object* obj, const char* emission, const char* source);
    static void _accessActivateCb(void* data, Evas_Object* part, Elm_Object_Item* item);
    static char* _accessInfoCb(void* data, Evas_Object* obj);

    Evas_Object* _layout = nullptr;
    std::unique_ptr<ZentrelSensor> _sensor;
    Evas_Object* _titleLabel = nullptr;
    Evas_Object* _altiHandsImage = nullptr;
    Evas_Object* _baroHandsImage = nullptr;
    cairo_surface_t* _handImgSurface = nullptr;
    Evas_Object* _altiAccess = nullptr;
    Evas_Object* _baroAccess = nullptr;
    Ecore_Idler* _rotateIdler = nullptr;
    Ecore_Timer* _lduTimer = nullptr;
    Ecore_Timer* _launchTimer = nullptr;
    bool _fontChanged = false;
    int _prevAltiValue = -1000;
    int _prevBaroValue = 0;
    viewState _state = INIT;
    int _prevAltiUnit = 0;
    double _pressure = 0.0;
    bool _launching = false;
    std::unique_ptr<ZentrelWidgetGauge> _gauge;
    std::string _titleText;
    bool _isForeGroundState = false;
    bool _isExistingPressureData = false;
};
