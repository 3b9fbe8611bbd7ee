// One HTTP request for the libcurl engine: URL, extra header lines and an
// optional body (a body makes it a POST).
#pragma once

#include <list>
#include <string>

#include "IHttpRequestData.h"

class CurlHttpRequestData : public IHttpRequestData {
  public:
    const std::list<std::string>& GetCustomHeaderList() const { return mCustomHeaderList; }
    // Each line is complete ("Name: value") and is sent as it stands.
    void AppendCustomHeaderList(const std::string& headerLine) {
        mCustomHeaderList.push_back(headerLine);
    }

    const std::string& GetURLStr() const { return mURLStr; }
    void SetURLStr(const std::string& url) { mURLStr = url; }
    const std::string& GetUrlStr() const { return mURLStr; }
    void SetUrlStr(const std::string& url) { mURLStr = url; }

    const std::string& GetDataFieldStr() const { return mDataFieldStr; }
    void SetDataFieldStr(const std::string& body) { mDataFieldStr = body; }

  private:
    std::list<std::string> mCustomHeaderList;
    std::string mURLStr;
    std::string mDataFieldStr;
};
