#include "ZentrelSettingDistanceUnitViewController.h"

#include <ZentrelStorageMgr.h>

ZentrelSettingDistanceUnitViewController::ZentrelSettingDistanceUnitViewController()
    : ZentrelSettingUnitViewController(
          "WDS_ALTI_HEADER_ALTITUDE_UNIT_ABB",
          {"WDS_ALTI_BODY_M_M_METRES_UNIT_LC", "WDS_ALTI_BODY_FT_M_FEET_UNIT_LC"}) {}

int ZentrelSettingDistanceUnitViewController::getStoredUnit() const {
    return ZentrelStorageMgr::getInstance()->getSettingDistance();
}

void ZentrelSettingDistanceUnitViewController::saveUnit(int unit) {
    ZentrelStorageMgr::getInstance()->saveSettingDistance(unit);
}
