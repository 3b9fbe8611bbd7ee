#include "ZentrelSettingAltiViewController.h"

#include <WNaviframeController.h>
#include <ZentrelLog.h>
#include <ZentrelStorageMgr.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ctime>

#include "ZentrelSettingInputViewController.h"

namespace {

constexpr double kFeetPerMetre = 3.28084;

bool inFeet() {
    return ZentrelStorageMgr::getInstance()->getSettingDistance() == 1;
}

}  // namespace

ZentrelSettingAltiViewController::ZentrelSettingAltiViewController()
    : mMin(ZentrelStorageMgr::getInstance()->getAltiMinValue()),
      mMax(ZentrelStorageMgr::getInstance()->getAltiMaxValue()) {}

int ZentrelSettingAltiViewController::currentAltitude() {
    ZentrelStorageMgr* storage = ZentrelStorageMgr::getInstance();
    double altitude = storage->getAltivalue(storage->getCurrentPressure(), storage->getDataSLP());
    if (inFeet()) {
        altitude *= kFeetPerMetre;
    }
    return storage->getValidAltiValue(static_cast<int>(std::round(altitude)));
}

Evas_Object* ZentrelSettingAltiViewController::onCreateView(Evas_Object* parent, void*) {
    const bool feet = inFeet();
    Evas_Object* layout = _createScreen(
        parent, "alti_text_layout", "WDS_ALTI_BODY_ALTITUDE",
        feet ? "WDS_ALTI_SBODY_FT_M_FEET_UNIT_LC" : "WDS_ALTI_SBODY_M_M_METRES_UNIT_LC",
        feet ? "WDS_ALTI_TBOPT_FEET" : "WDS_ALTI_TBOPT_METRES", TAP_NUMBER_LAYOUT);
    if (!layout) {
        return nullptr;
    }
    mCurAlti = currentAltitude();
    _showNumber(std::to_string(mCurAlti));
    return layout;
}

void ZentrelSettingAltiViewController::openEntry() {
    if (!getNaviframeController()) {
        return;
    }
    auto* entry = new ZentrelSettingInputViewController(mCurAlti, mMin, mMax);
    entry->setReturnValueCb([this](const char* text) { applyEnteredText(text); });
    getNaviframeController()->push(entry, "entry");
}

void ZentrelSettingAltiViewController::applyEnteredText(const char* text) {
    const long value = text ? strtol(text, nullptr, 10) : 0;
    mCurAlti = ZentrelStorageMgr::getInstance()->getValidAltiValue(
        static_cast<int>(std::max<long>(std::min<long>(value, mMax), mMin)));
    _showNumber(std::to_string(mCurAlti));
}

void ZentrelSettingAltiViewController::set() {
    ZentrelStorageMgr* storage = ZentrelStorageMgr::getInstance();
    const double pressure = storage->getCurrentPressure();
    // Without a reading there is no pressure to turn into a sea-level pressure;
    // storing one would make every later altitude wrong.
    if (pressure <= 0) {
        ZLOGE("no pressure reading yet (%lf): nothing stored", pressure);
        return;
    }
    double altitude = static_cast<double>(mCurAlti);
    if (inFeet()) {
        altitude /= kFeetPerMetre;
    }
    const double slp = storage->getManualSLP(altitude, pressure);
    ZLOGI("P: %lf, SLP: %lf", pressure, slp);
    storage->saveDataSLP(slp);
    storage->addDataSLPHistory(static_cast<long long>(time(nullptr)), slp);
    popOut();
}
