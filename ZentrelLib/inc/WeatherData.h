// One weather observation as it travels from a parser to the SLP users.
#pragma once

#include <memory>
#include <string>

#include "WeatherTypes.h"

class WeatherData {
  public:
    WeatherData() = default;
    virtual ~WeatherData() = default;

    double GetLatitude() const { return mLatitude; }
    void SetLatitude(double value) { mLatitude = value; }
    double GetLongitude() const { return mLongitude; }
    void SetLongitude(double value) { mLongitude = value; }
    double GetAtmPressure() const { return mAtmPressure; }
    void SetAtmPressure(double value) { mAtmPressure = value; }
    ATM_PRESSURE_UNIT_TYPE GetAtmUnit() const { return mAtmUnit; }
    void SetAtmUnit(ATM_PRESSURE_UNIT_TYPE value) { mAtmUnit = value; }
    double GetWeatherInfoUpdateTimeMiliSec() const { return mWeatherInfoUpdateTimeMilliSec; }
    void SetWeatherInfoUpdateTimeMiliSec(double value) { mWeatherInfoUpdateTimeMilliSec = value; }
    double GetCreateTimeMiliSec() const { return mCreateTimeMilliSec; }
    void SetCreateTimeMiliSec(double value) { mCreateTimeMilliSec = value; }
    double GetUpdateTimeMiliSec() const { return mUpdateTimeMilliSec; }
    void SetUpdateTimeMiliSec(double value) { mUpdateTimeMilliSec = value; }
    double GetStartTimeMiliSec() const { return mStartTimeMilliSec; }
    void SetStartTimeMiliSec(double value) { mStartTimeMilliSec = value; }
    double GetTimeOffSetMiliSec() const { return mTimeOffSetMilliSec; }
    void SetTimeOffSetMiliSec(double value) { mTimeOffSetMilliSec = value; }
    const std::string& GetDataUuid() const { return mDataUuid; }
    void SetDataUuid(const std::string& value) { mDataUuid = value; }
    const std::string& GetCityCode() const { return mCityCode; }
    void SetCityCode(const std::string& value) { mCityCode = value; }
    WEATHER_INFO_TYPE GetWeatherInfoType() const { return mWeatherInfoType; }
    void SetWeatherInfoType(WEATHER_INFO_TYPE value) { mWeatherInfoType = value; }
    WEATHER_CP_TYPE GetCPtype() const { return mCPtype; }
    void SetCPtype(WEATHER_CP_TYPE value) { mCPtype = value; }
    double getTemperature() const { return mTemperature; }
    void setTemperature(double value) { mTemperature = value; }

  private:
    double mLatitude = 0;
    double mLongitude = 0;
    double mAtmPressure = 0;
    ATM_PRESSURE_UNIT_TYPE mAtmUnit = ATM_PRESSURE_UNIT_TYPE_MB;
    double mWeatherInfoUpdateTimeMilliSec = 0;
    double mCreateTimeMilliSec = 0;
    double mUpdateTimeMilliSec = 0;
    double mStartTimeMilliSec = 0;
    double mTimeOffSetMilliSec = 0;
    std::string mDataUuid;
    std::string mCityCode;
    WEATHER_INFO_TYPE mWeatherInfoType = WEATHER_INFO_TYPE_INVALID;
    WEATHER_CP_TYPE mCPtype = WEATHER_CP_TYPE_INVALID;
    double mTemperature = 99999.0;
};

using WeatherDataPtr = std::shared_ptr<WeatherData>;
