#include "WeatherCpMgr.h"

#include <cstdlib>
#include <cstring>
#include <map>

#include "WeatherCpChoice.h"
#include "WeatherCpHuafengAccu.h"
#include "WeatherCpOpenMeteo.h"
#include "WeatherCpTwc.h"
#include "WeatherCpWeatherNews.h"
#include "WeatherHuafengAccuParser.h"
#include "WeatherNewsParser.h"
#include "WeatherOpenMeteoParser.h"
#include "WeatherTwcParser.h"
#include "ZentrelLog.h"

namespace {

const char* kHostMccKey = "db/hxs/host_status/mcc";
// The user's choice and the hosts decide whether a provider is usable.
const char* const kChoiceKeys[] = {WEATHER_PROVIDER_KEY, WEATHER_HOST_KEY_WEATHERNEWS,
                                   WEATHER_HOST_KEY_HUAFENG_LOCATION, WEATHER_HOST_KEY_HUAFENG};
constexpr int kNoUsableService = 3;

// Mobile country code to international calling code, for the diagnostic log
// line only.
const std::map<int, const char*> __mccCcList = {
    {0, "1"},     {202, "30"},  {204, "31"},  {206, "32"},  {208, "33"},  {212, "377"},
    {213, "376"}, {214, "34"},  {216, "36"},  {218, "387"}, {219, "385"}, {220, "381"},
    {222, "39"},  {225, "39"},  {226, "40"},  {228, "41"},  {230, "420"}, {231, "421"},
    {232, "43"},  {234, "44"},  {235, "44"},  {238, "45"},  {240, "46"},  {242, "47"},
    {244, "358"}, {246, "370"}, {247, "371"}, {248, "372"}, {250, "7"},   {255, "380"},
    {257, "375"}, {259, "373"}, {260, "48"},  {262, "49"},  {266, "350"}, {268, "351"},
    {270, "352"}, {272, "353"}, {274, "354"}, {276, "355"}, {278, "356"}, {280, "357"},
    {282, "995"}, {283, "374"}, {284, "359"}, {286, "90"},  {288, "298"}, {290, "299"},
    {292, "378"}, {293, "386"}, {294, "389"}, {295, "423"}, {297, "382"}, {302, "1"},
    {308, "508"}, {310, "1"},   {311, "1"},   {312, "1"},   {313, "1"},   {316, "1"},
    {330, "1"},   {334, "52"},  {338, "1"},   {340, "590"}, {342, "1"},   {344, "1"},
    {346, "1"},   {348, "1"},   {350, "1"},   {352, "1"},   {354, "1"},   {356, "1"},
    {358, "1"},   {360, "1"},   {362, "599"}, {363, "297"}, {364, "1"},   {365, "1"},
    {366, "1"},   {368, "53"},  {370, "1"},   {372, "509"}, {374, "1"},   {376, "1"},
    {400, "994"}, {401, "7"},   {402, "975"}, {404, "91"},  {405, "91"},  {410, "92"},
    {412, "93"},  {413, "94"},  {414, "95"},  {415, "961"}, {416, "962"}, {417, "963"},
    {418, "964"}, {419, "965"}, {420, "966"}, {421, "967"}, {422, "968"}, {424, "971"},
    {425, "972"}, {426, "973"}, {427, "974"}, {428, "976"}, {429, "977"}, {430, "971"},
    {431, "971"}, {432, "98"},  {434, "998"}, {436, "992"}, {437, "996"}, {438, "993"},
    {440, "81"},  {441, "81"},  {450, "82"},  {452, "84"},  {454, "852"}, {455, "853"},
    {456, "855"}, {457, "856"}, {460, "86"},  {461, "86"},  {466, "886"}, {467, "850"},
    {470, "880"}, {472, "960"}, {502, "60"},  {505, "61"},  {510, "62"},  {514, "670"},
    {515, "63"},  {520, "66"},  {525, "65"},  {528, "673"}, {530, "64"},  {537, "675"},
    {539, "676"}, {540, "677"}, {541, "678"}, {542, "679"}, {544, "1"},   {545, "686"},
    {546, "687"}, {547, "689"}, {548, "682"}, {549, "685"}, {550, "691"}, {551, "692"},
    {552, "680"}, {602, "20"},  {603, "213"}, {604, "212"}, {605, "216"}, {606, "218"},
    {607, "220"}, {608, "221"}, {609, "222"}, {610, "223"}, {611, "224"}, {612, "225"},
    {613, "226"}, {614, "227"}, {615, "228"}, {616, "229"}, {617, "230"}, {618, "231"},
    {619, "232"}, {620, "233"}, {621, "234"}, {622, "235"}, {623, "236"}, {624, "237"},
    {625, "238"}, {626, "239"}, {627, "240"}, {628, "241"}, {629, "242"}, {630, "243"},
    {631, "244"}, {632, "245"}, {633, "248"}, {634, "249"}, {635, "250"}, {636, "251"},
    {637, "252"}, {638, "253"}, {639, "254"}, {640, "255"}, {641, "256"}, {642, "257"},
    {643, "258"}, {645, "260"}, {646, "261"}, {647, "262"}, {648, "263"}, {649, "264"},
    {650, "265"}, {651, "266"}, {652, "267"}, {653, "268"}, {654, "269"}, {655, "27"},
    {657, "291"}, {659, "211"}, {702, "501"}, {704, "502"}, {706, "503"}, {708, "504"},
    {710, "505"}, {712, "506"}, {714, "507"}, {716, "51"},  {722, "54"},  {724, "55"},
    {730, "56"},  {732, "57"},  {734, "58"},  {736, "591"}, {738, "592"}, {740, "593"},
    {742, "594"}, {744, "595"}, {746, "597"}, {748, "598"}, {750, "500"},
};

}  // namespace

WeatherCpMgr* WeatherCpMgr::GetInstance() {
    static WeatherCpMgr instance;
    return &instance;
}

WeatherCpMgr::WeatherCpMgr() {
    _tapiHandle = tel_init(nullptr);
    if (!_tapiHandle) {
        ZLOGE("tel_init() Fail");
    } else {
        int error =
            tel_register_noti_event(_tapiHandle, TAPI_NOTI_NETWORK_PLMN, _plmnChangedCb, this);
        if (error != TAPI_API_SUCCESS) {
            ZLOGE("tel_register_noti_event Fail(%d)", error);
        }
    }
    vconf_notify_key_changed(kHostMccKey, _systemKeyChangedCb, this);
    for (const char* key : kChoiceKeys) {
        vconf_notify_key_changed(key, _systemKeyChangedCb, this);
    }
    _updateWeatherCp();
    _makeContentService();
}

WeatherCpMgr::~WeatherCpMgr() {
    delete _simImsi;
    _simImsi = nullptr;
    if (_tapiHandle) {
        int error = tel_deregister_noti_event(_tapiHandle, TAPI_NOTI_NETWORK_PLMN);
        if (error != TAPI_API_SUCCESS) {
            ZLOGE("tel_deregister_noti_event Fail(%d)", error);
        }
        tel_deinit(_tapiHandle);
        _tapiHandle = nullptr;
    }
    vconf_ignore_key_changed(kHostMccKey, _systemKeyChangedCb);
    for (const char* key : kChoiceKeys) {
        vconf_ignore_key_changed(key, _systemKeyChangedCb);
    }
    _deleteContentService();
}

std::string WeatherCpMgr::_getHostMcc() {
    char* mcc = vconf_get_str(kHostMccKey);
    if (!mcc) {
        ZLOGE("vconf_get_str failed");
        return "";
    }
    std::string text = mcc;
    free(mcc);
    if (text.empty()) {
        ZLOGI("no hxs host mcc");
    } else {
        ZLOGI("mcc is updated by hxs host (%s)", text.c_str());
    }
    return text;
}

std::string WeatherCpMgr::_getNetworkCc() {
    std::string mcc;
    if (!_tapiHandle) {
        mcc = _getHostMcc();
    } else {
        int serviceType = 0;
        int error = tel_get_property_int(_tapiHandle, TAPI_PROP_NETWORK_SERVICE_TYPE, &serviceType);
        if (error != TAPI_API_SUCCESS) {
            ZLOGE("tel_get_property_int Fail(%d)", error);
            return "";
        }
        if (serviceType <= kNoUsableService) {
            ZLOGI("network service is not working : state(%d)", serviceType);
            mcc = _getHostMcc();
            if (mcc.empty()) {
                ZLOGI("mobile device mcc get Fail. Try to get sim card mcc");
                if (!_simImsi) {
                    _simImsi = new TelSimImsiInfo_t();
                    error = tel_get_sim_imsi(_tapiHandle, _simImsi);
                    if (error != TAPI_API_SUCCESS) {
                        ZLOGE("tel_get_sim_imsi Fail(%d)", error);
                        delete _simImsi;
                        _simImsi = nullptr;
                    }
                }
                if (_simImsi && _simImsi->szMcc[0]) {
                    mcc = _simImsi->szMcc;
                    ZLOGI("mcc is updated by sim (%s)", mcc.c_str());
                } else {
                    ZLOGE("no available sim imsi");
                }
            }
        } else {
            char* plmn = nullptr;
            error = tel_get_property_string(_tapiHandle, TAPI_PROP_NETWORK_PLMN, &plmn);
            if (error != TAPI_API_SUCCESS) {
                ZLOGE("tel_get_property_string Fail(%d)", error);
                return "";
            }
            if (!plmn) {
                ZLOGE("plmn is null");
                return "";
            }
            mcc = std::string(plmn).substr(0, 3);
            free(plmn);
            ZLOGI("mcc is updated by tapi (%s)", mcc.c_str());
        }
    }
    if (mcc.empty()) {
        return "";
    }
    auto it = __mccCcList.find(atoi(mcc.c_str()));
    return it == __mccCcList.end() ? "" : it->second;
}

void WeatherCpMgr::_updateWeatherCp() {
    std::string cc = _getNetworkCc();
    ZLOGI("cc is (%s)", cc.c_str());

    std::string csc;
    char* country = vconf_get_str(VCONFKEY_CSC_COUNTRY_ISO);
    if (!country) {
        ZLOGE("Failed vconf_get_str - ret[%s], key[%s], value[%s]", "error",
              VCONFKEY_CSC_COUNTRY_ISO, "null");
    } else {
        csc = country;
        free(country);
    }
    ZLOGI("[%s]", csc.c_str());
    if (!_fakeCsc.empty()) {
        csc = _fakeCsc;
        ZLOGW("SET FAKE CSC [%s]", csc.c_str());
    }

    WEATHER_CP_TYPE byCountry = WeatherCpChoice::ByCountry(csc);
    if (byCountry == WEATHER_CP_TYPE_WEATHERNEWS) {
        ZLOGI("CP Type [WeatherNews]");
    } else if (byCountry == WEATHER_CP_TYPE_HUAFENGACCU) {
        ZLOGI("CP Type [Huafeng Accu (%s)]", csc.c_str());
    } else {
        ZLOGI("CP Type [TWC (%s)]", csc.c_str());
    }
    WeatherCpChoice::Result choice = WeatherCpChoice::Choose(csc);
    _cpType = choice.type;
    _choiceReason = choice.reason;
    ZLOGI("Provider in force [%s]: %s", WeatherCpChoice::Name(_cpType).c_str(),
          _choiceReason.c_str());
}

void WeatherCpMgr::_makeContentService() {
    switch (_cpType) {
        case WEATHER_CP_TYPE_WEATHERNEWS:
            _contentProvider = new WeatherCpWeatherNews();
            _contentParser = new WeatherNewsParser();
            break;
        case WEATHER_CP_TYPE_HUAFENGACCU:
            _contentProvider = new WeatherCpHuafengAccu();
            _contentParser = new WeatherHuafengAccuParser();
            break;
        case WEATHER_CP_TYPE_OPENMETEO:
            _contentProvider = new WeatherCpOpenMeteo();
            _contentParser = new WeatherOpenMeteoParser();
            break;
        default:
            _contentProvider = new WeatherCpTwc();
            _contentParser = new WeatherTwcParser();
            break;
    }
}

void WeatherCpMgr::_deleteContentService() {
    if (_contentProvider) {
        delete _contentProvider;
        _contentProvider = nullptr;
        ZLOGI("_contentProvider deleted");
    }
    if (_contentParser) {
        delete _contentParser;
        _contentParser = nullptr;
        ZLOGI("_contentParser deleted");
    }
}

// A network or host-country change rebuilds only when the choice changes.
void WeatherCpMgr::_reconsider() {
    WEATHER_CP_TYPE previous = _cpType;
    _updateWeatherCp();
    if (previous != _cpType) {
        _deleteContentService();
        _makeContentService();
    }
}

void WeatherCpMgr::_plmnChangedCb(TapiHandle*, const char*, void*, void* userData) {
    ZLOG_HIT();
    if (userData) {
        static_cast<WeatherCpMgr*>(userData)->_reconsider();
    }
}

void WeatherCpMgr::_systemKeyChangedCb(keynode_t*, void* userData) {
    ZLOG_HIT();
    if (userData) {
        static_cast<WeatherCpMgr*>(userData)->_reconsider();
    }
}

std::string WeatherCpMgr::GetUrl(double latitude, double longitude) {
    if (!_contentProvider) {
        ZLOGE("No weather content provider (%d)", _cpType);
        return "";
    }
    return _contentProvider->GetRequestUrl(latitude, longitude);
}

std::string WeatherCpMgr::GetCityInfoUrl(std::string cityCode) {
    if (!_contentProvider) {
        ZLOGE("No weather content provider (%d)", _cpType);
        return "";
    }
    return _contentProvider->GetCityInfoRequestUrl(cityCode);
}

WeatherDataPtr WeatherCpMgr::GetWeatherData(char* data, int length) {
    if (!_contentParser) {
        ZLOGE("No weather content parser (%d)", _cpType);
        return nullptr;
    }
    _contentParser->Parse(data, length);
    return _contentParser->GetCpWeatherData();
}

WEATHER_CP_TYPE WeatherCpMgr::GetWeatherCp() {
    return _cpType;
}

const std::string& WeatherCpMgr::GetChoiceReason() const {
    return _choiceReason;
}

std::string WeatherCpMgr::GetPrivacyPolicyText() {
    if (!_contentProvider) {
        ZLOGE("No weather content provider (%d)", _cpType);
        return "";
    }
    return _contentProvider->GetPrivacyPolicyText();
}

void WeatherCpMgr::SetFakeCsc(std::string csc) {
    _fakeCsc = csc;
    _updateWeatherCp();
    _deleteContentService();
    _makeContentService();
}

void WeatherCpMgr::ReleaseParseData() {
    if (!_contentParser) {
        ZLOGE("No weather content parser (%d)", _cpType);
        return;
    }
    _contentParser->ReleaseParseData();
}
