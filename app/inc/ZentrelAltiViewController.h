// Page 0: the altitude with its unit, the time of the last calibration, the
// six-hour altitude graph and the calibrate button. Calibrating asks the
// location service for a position and the weather provider for the sea-level
// pressure there; the page owns that flow, its popups and the demo (LDU) view.
#pragma once

#include <Elementary.h>
#include <IZentrelLocationListener.h>
#include <WUiTimer.h>
#include <ZentrelAltitudeMgr.h>
#include <ostra/app_control.h>

#include <memory>
#include <string>

#include "ZentrelGraph.h"
#include "ZentrelPermission.h"
#include "ZentrelViewController.h"

class ZentrelAltiViewController : public ZentrelViewController,
                                  public IZentrelLocationListener,
                                  public ZentrelAltitudeMgrEvent {
  public:
    enum class eMeasuringState {
        IDLE = 0,
        LOCATION_CALL = 1,
        LOCATION_CALL_BY_AUTO = 2,
        CONTENT_PROVIDER_CALL = 3,
        CONTENT_PROVIDER_CALL_BY_AUTO = 4,
        MAX = 5,
    };
    enum class ePopupState {
        INIT = -1,
        TOAST = 0,
        ONEBTN = 1,
        TWOBTN_LOCATION = 2,
        TWOBTN_USE_NETWORK_AGREEMENT = 3,
        TWOBTN_USER_AGREEMENT = 4,
        TWOBTN_WITH_TITLE = 5,
        TWOBTN_WITH_TITLE_CHECK = 6,
        TWOBTN = 7,
        MAX = 8,
    };
    enum class _eAltiViewState {
        INIT = -1,
        INIT_NORMAL = 0,
        INIT_MEASURING = 1,
        AUTO_NORMAL = 2,
        AUTO_MEASURING = 3,
        MANUAL_NORMAL = 4,
        LDU_MODE = 5,
        MAX = 6,
    };

    explicit ZentrelAltiViewController(std::shared_ptr<ZentrelGraphItemList> list);
    ~ZentrelAltiViewController() override;

    const char* getClassName() const override { return "ZentrelAltiViewController"; }

    void updateValue(double pressure, double altitude) override;
    void onBecomeTop() override;
    void onBecomeTopPage() override;
    void onBecomeHidePage() override;
    void scrollEnd() override;
    void onLaunchAnimationStart() override;
    void onLaunchAnimationEnd() override;
    void deleteGraph() override;
    void initGraph() override;
    void createGraph(std::shared_ptr<ZentrelGraphItemList> list) override;
    void addGraphItem(std::shared_ptr<ZentrelGraphItemList> list) override;

    void setGraphItemList(std::shared_ptr<ZentrelGraphItemList> list) { _graphItemList = list; }
    // Asks for a fresh sea-level pressure without telling the user about failures.
    void runAutoCalibration();
    // Shows the time of the last calibration (automatic view only).
    void updateCalTime();
    void updateAltiView();
    void updateLDUAltiView();
    ePopupState getPopupState() const;
    void setPopupState(ePopupState state);

    bool onStateChanged(int state) override;
    bool onLocationEnabled(bool enabled) override;
    void OnDataReceived(WeatherDataPtr data) override;
    void OnDataReceiveFailed() override;

    // For the page controller's tests and the screen tests.
    _eAltiViewState getAltiViewState() const { return _getAltiViewState(); }
    eMeasuringState getMeasuringState() const { return _eMeasuringState; }
    int getCalCount() const { return _calCount; }
    Evas_Object* getLayout() const { return _layout; }
    Evas_Object* getValueLayout() const { return _valueLayout; }
    Evas_Object* getCurrentPopup() const { return _currentPopup; }
    Evas_Object* getCurrentSubPopup() const { return _currentSubPopup; }
    ZentrelGraph* getGraph() const { return _graph.get(); }
    // The texts the screen reader reads for the page, in highlight order, and
    // the object that reads them.
    std::string getScreenReaderText() const;
    Evas_Object* getAccessObject() const { return _accessRect; }
    // Shortens the location watchdog (30 s on the watch) for tests.
    void setLocationWatchdogSeconds(double seconds) { _watchdogSeconds = seconds; }
    void tapUnit();

  protected:
    Evas_Object* onCreateView(Evas_Object* parent, void* viewParam) override;

  private:
    _eAltiViewState _getAltiViewState() const;
    void _createTitle();
    void _createValueLayout();
    void _registerSignals();
    void _showViewState(_eAltiViewState state);
    void _setPartText(const char* part, const char* id);
    void _registerAccess();
    // Readable only while the page is shown.
    void _setAccessReadable(bool readable);
    void _updateAltiViewLater();

    void _refreshBtnCb(bool byTouch);
    bool _hasNetwork() const;
    // Opens the platform's connection screen; a confirmed answer offers manual entry.
    void _sendConnectionRequest(const char* type);
    void _runCal();
    void _mesuringAlti();
    void _runAutoCal();
    void _measuringAutoCal();
    // 0 when the position was read and the request sent (the state is then next).
    int _readPositionAndRequest(eMeasuringState next);
    void _checkLocationResponse();
    void _cancelWatchdog();
    void _locationErrHandling(int code);
    void _locationErrorhandle();
    void _gpsSettingOff();
    void _setIdle();
    bool _isMeasuring() const { return _eMeasuringState != eMeasuringState::IDLE; }
    bool _isAutoFlow() const;

    void _deleteCurrentPopup();
    void _trackPopup(Evas_Object* popup, ePopupState state);
    void _popupClosed();
    bool _secondFailure();
    void _showToast(const char* id);
    void _showOneButtonPopup(const char* id);
    void _showLocationPopup(const char* id);
    void _showNetworkAgreementPopup();
    void _showUserAgreementPopup();
    void _showEnterManuallyPopup();
    void _showServiceProviderPopup();
    void _openProviderLink(const char* url);
    void _pushManualCalibration();
    std::string _networkAgreementText() const;
    std::string _linkMarkup(const char* url, const char* id) const;
    static Evas_Object* _createLink(Evas_Object* parent);

    void _toggleUnit();
    void _lduRefresh();
    void _lduToggleUnit();
    void _showArrowLater();

    static void _refreshClickedCb(void* data, Evas_Object* obj, const char* emission,
                                  const char* source);
    static void _refreshPressCb(void* data, Evas_Object* obj, const char* emission,
                                const char* source);
    static void _unitClickedCb(void* data, Evas_Object* obj, const char* emission,
                               const char* source);
    static void _lduRefreshCb(void* data, Evas_Object* obj, const char* emission,
                              const char* source);
    static void _lduUnitCb(void* data, Evas_Object* obj, const char* emission, const char* source);
    static void _layoutMoveCb(void* data, Evas* evas, Evas_Object* obj, void* eventInfo);
    static void _manualModeChangedCb(const char* key, void* data);
    static void _connectionReplyCb(app_control_h request, app_control_h reply,
                                   app_control_result_e result, void* data);
    static void _linkClickedCb(void* data, Evas_Object* obj, void* eventInfo);
    static void _popupDelCb(void* data, Evas* evas, Evas_Object* obj, void* eventInfo);

    Evas_Object* _layout = nullptr;
    Evas_Object* _circleScroller = nullptr;
    std::shared_ptr<ZentrelGraphItemList> _graphItemList;
    std::unique_ptr<ZentrelGraph> _graph;
    Evas_Object* _currentPopup = nullptr;
    Evas_Object* _currentSubPopup = nullptr;
    Evas_Object* _userAgreementPopupTextLabel = nullptr;
    Evas_Object* _lblTC = nullptr;
    Evas_Object* _lblPP = nullptr;
    int _calCount = 0;
    eMeasuringState _eMeasuringState = eMeasuringState::IDLE;
    ePopupState _ePopupState = ePopupState::INIT;
    brisa::WUiTimerWeakPtr _popupTimer;
    ZentrelPermission _permissionChecker;

    Evas_Object* _title = nullptr;
    Evas_Object* _accessRect = nullptr;
    Evas_Object* _valueLayout = nullptr;
    brisa::WUiTimerWeakPtr _updateViewTimer;
    brisa::WUiTimerWeakPtr _arrowIdler;
    brisa::WUiTimerWeakPtr _lduTimer;
    brisa::WUiTimerWeakPtr _pressTimer;
    int _broadCasterListener = -1;
    double _watchdogSeconds = 30.0;
    // The sea-level pressure in force before the last calibration, for the needle.
    double _previousSLP = 0.0;
};
