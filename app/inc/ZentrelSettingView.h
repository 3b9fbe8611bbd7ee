// The settings menu: switches and rows that change the stored settings, the
// unit pickers, calibration and help. Automatic refresh and manual calibration
// exclude each other: switching auto refresh on stores manual mode 0 and
// disables the manual calibration row; switching it off enables the row again.
// Auto refresh comes on only after the location privilege, the provider's
// consent and the location service.
#pragma once

#include <WContentViewController.h>

#include <string>

#include "ZentrelPermission.h"
#include "ZentrelSettingItem.h"

class ZentrelSettingView : public brisa::WContentViewController {
  public:
    enum AgreementVariant { AGREEMENT_CURRENT_LOCATION, AGREEMENT_AUTO_REFRESH };

    ZentrelSettingView() = default;
    ~ZentrelSettingView() override;

    const char* getClassName() const override { return "ZentrelSettingView"; }

    Evas_Object* getGenlist() const { return _genlist; }
    // The row of a kind, or null when the menu has none.
    ZentrelSettingItem* getItem(SETTING_ITEM_INDEX_TYPE kind) const;
    Evas_Object* getCurrentPopup() const { return _currentPopup; }
    Evas_Object* getCurrentSubPopup() const { return _currentSubPopup; }
    bool isSubPopupOpen() const { return _subPopup; }
    Evas_Object* getToast() const { return _toast; }
    // The agreement popup's text and the service provider popup's two links,
    // while their popups are open.
    Evas_Object* getAgreementText() const { return _agreementText; }
    Evas_Object* getTermsLink() const { return _termsLink; }
    Evas_Object* getPrivacyLink() const { return _privacyLink; }

    // The terms and privacy pages of the China provider.
    static std::string providerPageUrl(const char* path);

  protected:
    Evas_Object* onCreateView(Evas_Object* parent, void* viewParam) override;
    void onDestroy() override;
    void onPushed(Elm_Object_Item* naviItem) override;
    void onBecomeTop() override;

  private:
    ZentrelSettingItem* _addRow(ZentrelSettingItem* row, const char* name);
    void _createRows();
    bool _isChinaProvider() const;

    void _onAutoRefreshSelected();
    void _onCalibrationSelected();
    void _onAlertSelected();
    void _onCurrentLocationSelected();
    void _onHelpSelected();

    void _switchOnFlow(AgreementVariant variant);
    void _applyAutoRefreshOn();
    void _setCalibrationRowEnabled(bool enabled);
    void _setCurrentLocationSwitch(bool on);

    void _twoBtnUserAgreementPopup(AgreementVariant variant);
    void _onAgreementAccepted(AgreementVariant variant);
    void _serviceProviderPopup();
    Evas_Object* _createLink(Evas_Object* parent, const std::string& url, const char* text);
    void _openLink(const char* url);
    void _twoBtnLocationPopup(const char* text);
    const char* _locationPopupText() const;
    void _enableLocation();
    void _onLocationEnabled();
    void _onLocationNotEnabled(int ret);
    void _toastPopup(const char* text);
    void _setPopup(Evas_Object* popup);
    void _returnRotaryToList();
    void _cancelLocationRequest();

    static void _anchorClickedCb(void* data, Evas_Object* obj, void* eventInfo);
    static void _linkClickedCb(void* data, Evas_Object* obj, void* eventInfo);
    static void _locationEnabledCb(int result, void* data);
    static void _popupDelCb(void* data, Evas* evas, Evas_Object* obj, void* eventInfo);
    static void _subPopupDelCb(void* data, Evas* evas, Evas_Object* obj, void* eventInfo);
    static void _toastDelCb(void* data, Evas* evas, Evas_Object* obj, void* eventInfo);

    Evas_Object* _genlist = nullptr;
    Evas_Object* _circleGenlist = nullptr;
    ZentrelSettingItem* _settingItemAutoRefresh = nullptr;
    ZentrelSettingItem* _settingItemCalib = nullptr;
    ZentrelSettingItem* _settingItemAlert = nullptr;
    ZentrelSettingItem* _settingItemDist = nullptr;
    ZentrelSettingItem* _settingItemPressure = nullptr;
    ZentrelSettingItem* _settingItemUseCurrentLocation = nullptr;
    ZentrelSettingItem* _settingItemHelp = nullptr;
    Evas_Object* _currentPopup = nullptr;
    Evas_Object* _currentSubPopup = nullptr;
    Evas_Object* _toast = nullptr;
    Evas_Object* _agreementText = nullptr;
    Evas_Object* _termsLink = nullptr;
    Evas_Object* _privacyLink = nullptr;
    ZentrelPermission _permissionChecker;
    bool _subPopup = false;
    bool _locationRequestPending = false;
};
