#include "ZentrelSettingSLPViewController.h"

#include <WNaviframeController.h>
#include <ZentrelLog.h>
#include <ZentrelStorageMgr.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "ZentrelSettingInputViewController.h"

namespace {

constexpr double kInHgPerHpa = 0.02953;
constexpr double kMmHgPerHpa = 0.750062;

int pressureUnit() {
    return ZentrelStorageMgr::getInstance()->getSettingPressure();
}

const char* unitText(int unit) {
    switch (unit) {
        case 1:
            return "WDS_ALTI_BODY_IN_HG_M_UNIT_ABB";
        case 2:
            return "WDS_ALTI_BODY_MM_HG_M_UNIT_ABB";
        default:
            return "WDS_ALTI_BODY_HPA_ABB2";
    }
}

const char* longUnitText(int unit) {
    switch (unit) {
        case 1:
            return "WDS_ALTI_TBOPT_INCHES_OF_MERCURY_M_UNIT";
        case 2:
            return "WDS_ALTI_TBOPT_MILLIMETRE_OF_MERCURY_M_UNIT";
        default:
            return "WDS_ALTI_TBOPT_HECTOPASCALS";
    }
}

std::string format(double value, bool inHg) {
    char text[32];
    if (inHg) {
        snprintf(text, sizeof(text), "%0.2f", value);
    } else {
        snprintf(text, sizeof(text), "%d", static_cast<int>(value));
    }
    return text;
}

}  // namespace

ZentrelSettingSLPViewController::ZentrelSettingSLPViewController()
    : mMin(ZentrelStorageMgr::getInstance()->getSlpMinValue()),
      mMax(ZentrelStorageMgr::getInstance()->getSlpMaxValue()) {}

double ZentrelSettingSLPViewController::currentSlp() {
    ZentrelStorageMgr* storage = ZentrelStorageMgr::getInstance();
    double slp = storage->getDataSLP();
    switch (pressureUnit()) {
        case 1:
            return storage->getValidSlpValue(std::round(slp * kInHgPerHpa * 100) / 100);
        case 2:
            slp *= kMmHgPerHpa;
            break;
        default:
            break;
    }
    return storage->getValidSlpValue(std::round(slp));
}

Evas_Object* ZentrelSettingSLPViewController::onCreateView(Evas_Object* parent, void*) {
    const int unit = pressureUnit();
    Evas_Object* layout =
        _createScreen(parent, "slp_text_layout", "WDS_ALTI_HEADER_SEA_LEVEL_PRESSURE_ABB",
                      unitText(unit), longUnitText(unit), TAP_TOUCH_RECT);
    if (!layout) {
        return nullptr;
    }
    mCurSlp = currentSlp();
    _showSlp();
    return layout;
}

void ZentrelSettingSLPViewController::_showSlp() {
    _showNumber(format(mCurSlp, pressureUnit() == 1));
}

void ZentrelSettingSLPViewController::openEntry() {
    if (!getNaviframeController()) {
        return;
    }
    const bool inHg = pressureUnit() == 1;
    auto* entry = new ZentrelSettingInputViewController(getNumberText().c_str(), mMin, mMax, !inHg);
    entry->setReturnValueCb([this](const char* text) { applyEnteredText(text); });
    getNaviframeController()->push(entry, "entry");
}

void ZentrelSettingSLPViewController::applyEnteredText(const char* text) {
    const double value = text ? strtod(text, nullptr) : 0.0;
    mCurSlp =
        ZentrelStorageMgr::getInstance()->getValidSlpValue(std::isfinite(value) ? value : mMin);
    if (pressureUnit() != 1) {
        mCurSlp = std::round(mCurSlp);
    }
    _showSlp();
}

void ZentrelSettingSLPViewController::set() {
    ZentrelStorageMgr* storage = ZentrelStorageMgr::getInstance();
    double slp = storage->getValidSlpValue(mCurSlp);
    switch (pressureUnit()) {
        case 1:
            slp /= kInHgPerHpa;
            break;
        case 2:
            slp /= kMmHgPerHpa;
            break;
        default:
            break;
    }
    ZLOGI("New SLP: %lf", slp);
    storage->saveDataSLP(slp);
    storage->addDataSLPHistory(static_cast<long long>(time(nullptr)), slp);
    popOut();
}
