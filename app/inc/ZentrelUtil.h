// Static helpers of the main program: resource paths, locale-aware number
// and time texts, layout parts, and how the watch reaches the network.
#pragma once

#include <Evas.h>
#include <ostra/app_control.h>

#include <ctime>
#include <string>

class ZentrelUtil {
  public:
    ZentrelUtil() = delete;

    static const char* getAppResourcePath();
    static const char* getAppEdjFilePath();
    static const char* getAppColorTablePath();
    static const char* getAppFontTablePath();
    static const char* getAppResourceImagePath();
    // Newly allocated; the caller frees it.
    static char* getAppResourceImageFilePathN(const char* name);
    static const char* getAppDataPath();

    // Numbers in the region's digits. Gauge values pass grouping false (a
    // four-digit pressure reads as one number) and a fixed count of decimals.
    static std::string getNumberStringFromIcu(int number, bool grouping = true);
    static std::string getDoubleNumberStringFromIcu(double number, int fractionDigits = -1,
                                                    bool grouping = true);
    // Newly allocated; the caller frees it. NULL when no text can be made.
    static char* getTimeText(time_t time);
    static bool isReverseLanguage();
    static bool isHebrewLanguage();
    // error gets 0 on success, -22 when text is not a plain decimal number.
    static int charToInt(const char* text, int& error);
    // The object of a layout's part without the layout pass edje runs to
    // place it first: the screen reader needs the object, not its place,
    // and a pass before the page has its size is work done twice.
    static Evas_Object* partObject(Evas_Object* layout, const char* part);

    static bool isConnectToMobile();
    static bool isConnectToMobileByBT();
    static bool getHostConnected();
    static int getIntVconf(const char* key);
    static bool isNetworkSupportDevice();
    static bool isKorvanedevice();
    static bool isConnectedNetwork();
    static bool sendLinkraAppcontrol(const char* type, app_control_reply_cb replyCb, void* data);

  private:
    static std::string _regionLocale(bool* found);

    static std::string _appResourcePath;
    static std::string _appEdjFilePath;
    static std::string _appResourceImagePath;
    static std::string _appDataPath;
    static std::string _appColorTablePath;
    static std::string _appFontTablePath;
};
