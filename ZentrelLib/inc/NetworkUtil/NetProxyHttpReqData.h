// What a caller wants fetched: URL, optional body (a body makes a POST) and
// extra header lines, each complete ("Name: value").
#pragma once

#include <list>
#include <string>

class NetProxyHttpReqData {
  public:
    virtual ~NetProxyHttpReqData() = default;

    const std::string& GetUrlStr() const { return mUrlStr; }
    void SetUrlStr(const std::string& url) { mUrlStr = url; }

    const std::string& GetDataFiledStr() const { return mDataFiledStr; }
    void SetDataFiledStr(const std::string& body) { mDataFiledStr = body; }

    const std::list<std::string>& GetHeaderOptionStrList() const { return mHeaderOptionStrList; }
    void AppendHeaderOptionStrItem(const std::string& headerLine) {
        mHeaderOptionStrList.push_back(headerLine);
    }

  private:
    std::string mUrlStr;
    std::string mDataFiledStr;
    std::list<std::string> mHeaderOptionStrList;
};
