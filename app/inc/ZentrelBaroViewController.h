// Page 1: the current air pressure in the chosen unit, the six-hour pressure
// graph and the trend indicator. Tapping the unit cycles it; tapping the
// indicator opens the barometer help.
#pragma once

#include <Elementary.h>
#include <WUiTimer.h>

#include <memory>
#include <string>

#include "ZentrelGraph.h"
#include "ZentrelViewController.h"

class ZentrelBaroViewController : public ZentrelViewController {
  public:
    explicit ZentrelBaroViewController(std::shared_ptr<ZentrelGraphItemList> list);
    ~ZentrelBaroViewController() override;

    const char* getClassName() const override { return "ZentrelBaroViewController"; }

    void updateValue(double pressure, double altitude) override;
    void updateIndicator(double value) override;
    void onBecomeTop() override;
    void onBecomeTopPage() override;
    void onBecomeHidePage() override;
    void scrollEnd() override;
    void setFocusScreenReader() override;
    void onLaunchAnimationStart() override;
    void onLaunchAnimationEnd() override;
    void deleteGraph() override;
    void initGraph() override;
    void createGraph(std::shared_ptr<ZentrelGraphItemList> list) override;
    void addGraphItem(std::shared_ptr<ZentrelGraphItemList> list) override;
    void setGraphItemList(std::shared_ptr<ZentrelGraphItemList> list) { _graphItemList = list; }

    // The image file shown for a trend code.
    static const char* getTrendImage(int code);

    Evas_Object* getLayout() const { return _layout; }
    Evas_Object* getValueLayout() const { return _valueLayout; }
    const std::string& getIndicatorFile() const { return _indicatorFile; }
    ZentrelGraph* getGraph() const { return _graph.get(); }
    // What the screen reader reads for the value, graph and indicator.
    std::string getAccessText() const;
    Evas_Object* getAccessValue() const { return _accessValue; }

  protected:
    Evas_Object* onCreateView(Evas_Object* parent, void* viewParam) override;
    void onCreated() override;

  private:
    void _createValueLayout();
    void _cycleUnit();
    void _showHelp();
    void _showArrowLater();
    Evas_Object* _registerAccessPart(const char* part);
    void _setAccessReadable(bool readable);
    static char* _accessInfoCb(void* data, Evas_Object* obj);

    static void _indicatorClickedCb(void* data, Evas_Object* obj, const char* emission,
                                    const char* source);
    static void _unitClickedCb(void* data, Evas_Object* obj, const char* emission,
                               const char* source);
    static void _layoutMoveCb(void* data, Evas* evas, Evas_Object* obj, void* eventInfo);

    Evas_Object* _layout = nullptr;
    Evas_Object* _img = nullptr;
    std::shared_ptr<ZentrelGraphItemList> _graphItemList;
    std::unique_ptr<ZentrelGraph> _graph;
    Eina_List* _accessList = nullptr;
    Evas_Object* _accessRect = nullptr;
    Evas_Object* _accessValue = nullptr;
    Evas_Object* _title = nullptr;
    Evas_Object* _valueLayout = nullptr;
    std::string _indicatorFile;
    brisa::WUiTimerWeakPtr _indicatorCheckTimer;
    brisa::WUiTimerWeakPtr _graphRetryIdler;
    brisa::WUiTimerWeakPtr _arrowIdler;
};
