// Page 2: a read-only summary of the settings (auto refresh, manual
// calibration, pressure alerts, units) with Edit, which opens the settings
// menu, and Help. It follows the store: each reading re-sends the on/off
// states, and a finished restore or a language change rebuilds the rows.
#pragma once

#include <Elementary.h>

#include "ZentrelViewController.h"

class ZentrelSettingViewController : public ZentrelViewController {
  public:
    ZentrelSettingViewController() = default;
    ~ZentrelSettingViewController() override;

    const char* getClassName() const override { return "ZentrelSettingViewController"; }

    void updateValue(double pressure, double altitude) override;
    void onBecomeTop() override;
    void onBecomeTopPage() override;
    void onBecomeHidePage() override;

    Evas_Object* getLayout() const { return _layout; }
    // The summary row in a part ("setting_content_auto_refresh", ..., "setting_content_unit").
    Evas_Object* getRow(const char* part) const;
    // Whether a summary row shows its setting on, as last signalled.
    bool isRowOn(const char* part) const;
    int getRebuildCount() const { return _rebuildCount; }
    Evas_Object* getAccessObject(const char* part) const;

  protected:
    Evas_Object* onCreateView(Evas_Object* parent, void* viewParam) override;

  private:
    void _buildRows();
    Evas_Object* _createRow(const char* part, const char* group);
    void _sendStates();
    void _setRowState(const char* part, bool on);
    void _updateUnitText();
    void _registerAccessObjects();
    void _setAccessEnabled(bool enabled);
    void _openMenu();
    void _openHelp();

    static void _editClickedCb(void* data, Evas_Object* obj, const char* emission,
                               const char* source);
    static void _helpClickedCb(void* data, Evas_Object* obj, const char* emission,
                               const char* source);
    static void _restoreCompletedCb(const char* key, void* data);

    Evas_Object* _layout = nullptr;
    Evas_Object* _accessObjects[4] = {};
    bool _restoreCbSet = false;
    int _rebuildCount = 0;
};
