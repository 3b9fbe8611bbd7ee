// Chooses the weather provider for the device's country and owns the
// matching provider and parser; the one entry point of the SLP requests.
#pragma once

#include <ostra/telephony.h>
#include <ostra/vconf.h>

#include <string>

#include "WeatherCp.h"
#include "WeatherData.h"
#include "WeatherParser.h"
#include "WeatherTypes.h"

class WeatherCpMgr {
  public:
    static WeatherCpMgr* GetInstance();

    std::string GetUrl(double latitude, double longitude);
    std::string GetCityInfoUrl(std::string cityCode);
    WeatherDataPtr GetWeatherData(char* data, int length);
    WEATHER_CP_TYPE GetWeatherCp();
    std::string GetPrivacyPolicyText();
    // Why the provider in force was chosen, for diagnostics.
    const std::string& GetChoiceReason() const;
    void SetFakeCsc(std::string csc);
    void ReleaseParseData();

  protected:
    WeatherCpMgr();
    virtual ~WeatherCpMgr();

  private:
    WeatherCpMgr(const WeatherCpMgr&) = delete;
    WeatherCpMgr& operator=(const WeatherCpMgr&) = delete;

    void _updateWeatherCp();
    void _makeContentService();
    void _deleteContentService();
    void _reconsider();
    std::string _getNetworkCc();
    std::string _getHostMcc();
    static void _plmnChangedCb(TapiHandle* handle, const char* evtId, void* data, void* userData);
    static void _systemKeyChangedCb(keynode_t* node, void* userData);

    WeatherCp* _contentProvider = nullptr;
    WeatherParser* _contentParser = nullptr;
    WEATHER_CP_TYPE _cpType = WEATHER_CP_TYPE_INVALID;
    std::string _fakeCsc;
    TapiHandle* _tapiHandle = nullptr;
    TelSimImsiInfo_t* _simImsi = nullptr;
    std::string _choiceReason;
};
