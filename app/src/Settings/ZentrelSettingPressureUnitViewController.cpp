#include "ZentrelSettingPressureUnitViewController.h"

#include <ZentrelStorageMgr.h>

ZentrelSettingPressureUnitViewController::ZentrelSettingPressureUnitViewController()
    : ZentrelSettingUnitViewController("WDS_ALTI_HEADER_PRESSURE_UNIT",
                                       {"WDS_ALTI_BODY_HPA_ABB2", "WDS_ALTI_BODY_IN_HG_M_UNIT_ABB",
                                        "WDS_ALTI_BODY_MM_HG_M_UNIT_ABB"}) {}

int ZentrelSettingPressureUnitViewController::getStoredUnit() const {
    return ZentrelStorageMgr::getInstance()->getSettingPressure();
}

void ZentrelSettingPressureUnitViewController::saveUnit(int unit) {
    ZentrelStorageMgr::getInstance()->saveSettingPressure(unit);
}
