// The three horizontally scrolled pages (altitude, barometer, settings) with
// their index, the bezel behaviour, the gauge needle's launch animation, the
// pressure sensor and the two history lists that feed the pages.
#pragma once

#include <Elementary.h>
#include <IZentrelSensorListener.h>
#include <WContentViewController.h>
#include <WUiTimer.h>
#include <ostra/efl_extension.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "ZentrelGraphItemList.h"
#include "ZentrelPermission.h"
#include "ZentrelSLPItemList.h"

class ZentrelSensor;
class ZentrelViewController;
class ZentrelAltiViewController;
class ZentrelBaroViewController;

class ZentrelPageController : public brisa::WContentViewController, public IZentrelSensorListener {
  public:
    enum _ePageNum {
        PAGE_INIT = -1,
        PAGE_ALTI_VIEW = 0,
        PAGE_BARO_VIEW = 1,
        PAGE_SETTING_VIEW = 2,
        PAGE_NUM_MAX = 3,
    };
    static constexpr int GRAPH_PERIOD = 120;
    static constexpr int GRAPH_AUTO_PERIOD = 3600;
    static constexpr int GRAPH_POINT = 180;

    ZentrelPageController();
    ~ZentrelPageController() override;

    const char* getClassName() const override { return "ZentrelPageController"; }

    void setPage(int page);
    void onAppPaused();
    void onAppResumed();
    void setThemeChangedStatus() { _isThemeChanged = true; }

    bool onCurrentPressure(float pressure) override;
    bool onRecordedPressure(long long time, double pressure, int index) override;
    bool onRecorderCBComplete() override;
    bool onBarometricTrendIndicator(float value) override;

    void onPushed(Elm_Object_Item* naviItem) override;
    void onBecomeTop() override;

    // For the screens and tests that follow the controller.
    int getCurrentPage() const { return _currentPage; }
    ZentrelViewController* getPage(int page) const;
    // The first-launch permission guide while it is open.
    Evas_Object* getGuidePopup() const { return _permissionChecker.getGuidePopup(); }
    Evas_Object* getLayout() const { return _layout; }
    Evas_Object* getScroller() const { return _scroller; }
    Evas_Object* getIndex() const { return _index; }
    Evas_Object* getPickerLayout() const { return _pickerLayout; }
    std::shared_ptr<ZentrelGraphItemList> getGraphItemList() const { return _graphItemList; }
    int64_t getLastGraphUpdateTime() const { return _lastGraphUpdateTime; }
    bool isIndexShown() const { return _aniStarted; }
    bool isPickerLaunched() const { return _initLaunch; }
    bool isPagerBlocked() const;
    Evas_Object* getSensorFailurePopup() const { return getPopup(); }
    // The angle of the needle for a pressure on the page now shown, in degrees.
    double calcAngle(double pressure, double slp) const { return _calcAngle(pressure, slp); }

  protected:
    Evas_Object* onCreateView(Evas_Object* parent, void* viewParam) override;
    // Seconds since the epoch; the history window and the resume rules follow it.
    virtual int64_t currentTime() const;

  private:
    struct SensorSlot;
    ZentrelViewController* _newPage(int i);
    void _addPage(int i, ZentrelViewController* page, void* param);
    void _recreateSettingPage();

    void _createPages();
    // Builds the pages right of the first one shown and the index widget,
    // after the first frame.
    void _completePager();
    void _createIndexWidget();
    // One item per page, each page given its own.
    void _appendIndexItems();
    void _createIndex();
    void _selectIndex(int page);
    // Selects the page's index item and names the index after the page.
    void _markIndexItem(int page);
    void _showIndex();
    void _initGraphItemList(int64_t t);
    void _initSLPItemList();
    void _updateLimits(double pressure, double altitude);
    void _rebuildGraphs();
    // prefix + "alti,<m|ft>" or "baro,<hpa|inhg|mmhg>" by the page's unit.
    void _emitUnitSignal(const char* prefix, int page);
    void _runEndAnimation();
    void _restartAniTimer();
    void _blockPager(bool blocked);
    void _registerInputCallbacks();
    void _onViewSignal(int page, const std::string& signal, void* data);
    void _showSensorFailurePopup();

    double _calcAngle(double pressure, double slp) const;
    void _rotatePickerMark(double pressure);
    void _transitPickerMark(double pressure, bool updating);
    void _startTransitTimer(double pressure, bool updating, double delay);
    void _startCountUp(int startValue, double target, double interval);

    void _createSensorOnThread();
    static void _sensorThread(std::shared_ptr<SensorSlot> slot);
    void _pauseSensor();
    void _resumeSensor();
    void _destroySensor();
    void _requestRecorded(int64_t until);

    static void _scrollCb(void* data, Evas_Object* obj, void* eventInfo);
    static void _firstFrameCb(void* data, Evas* evas, void* eventInfo);
    static void _scrollAniStopCb(void* data, Evas_Object* obj, void* eventInfo);
    static Eina_Bool _rotaryEventCb(void* data, Evas_Object* obj, Eext_Rotary_Event_Info* info);
    static void _layoutMouseDown(void* data, Evas* evas, Evas_Object* obj, void* eventInfo);
    static void _layoutMouseUp(void* data, Evas* evas, Evas_Object* obj, void* eventInfo);
    static void _layoutMouseMove(void* data, Evas* evas, Evas_Object* obj, void* eventInfo);
    static void _layoutResizeCb(void* data, Evas* evas, Evas_Object* obj, void* eventInfo);
    static void _endAnimationCb(void* data, Evas_Object* obj, const char* emission,
                                const char* source);
    static void _transitEndCb(void* data, Elm_Transit* transit);

    Evas_Object* _parent = nullptr;
    Evas_Object* _layout = nullptr;
    Evas_Object* _scroller = nullptr;
    Evas_Object* _box = nullptr;
    Evas_Object* _index = nullptr;
    Evas_Object* _circleScroller = nullptr;
    Evas_Object* _pickerLayout = nullptr;
    ZentrelViewController* _viewController[PAGE_NUM_MAX] = {nullptr, nullptr, nullptr};
    Elm_Object_Item* _lastIt = nullptr;
    Elm_Object_Item* _newIt = nullptr;
    int _currentPage = PAGE_ALTI_VIEW;
    int _prevPage = PAGE_ALTI_VIEW;
    int _maxPage = PAGE_SETTING_VIEW;
    int _minPage = PAGE_ALTI_VIEW;
    double _latestSLP = 0.0;
    int _initialPage = PAGE_INIT;
    bool _initLaunch = false;
    std::shared_ptr<SensorSlot> _sensorSlot;
    std::shared_ptr<ZentrelGraphItemList> _graphItemList;
    std::shared_ptr<ZentrelSLPItemList> _slpItemList;
    int64_t _lastGraphUpdateTime = 0;
    int64_t _lastListItemTime = 0;
    bool _aniStarted = false;
    int _initValue = 0;
    int _value = 0;
    int _valueCnt = 0;
    bool _positive = false;
    float _transitTimeOffset = 0.4f;
    bool _firstTransit = false;
    brisa::WUiTimerWeakPtr _aniTimer;
    brisa::WUiTimerWeakPtr _transitPickerMarkTimer;
    brisa::WUiTimerWeakPtr _runEndAnimationTimer;
    brisa::WUiTimerWeakPtr _updateValueTimer;
    brisa::WUiTimerWeakPtr _setPageIdler;
    brisa::WUiTimerWeakPtr _laterPagesJob;
    Elm_Transit* _trans = nullptr;
    bool _isMouseDown = false;
    bool _isThemeChanged = false;
    ZentrelPermission _permissionChecker;
    bool _permissionPopupAlive = false;
    bool _inputCallbacksRegistered = false;
    int _lastMoveX = 0;
    int64_t _startTime = 0;
    bool _validStartTimeFound = false;
};
