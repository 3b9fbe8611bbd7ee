// The six-hour history window of one quantity drawn as a scrolling area chart
// inside a page layout, with the now mark, the zero label and, on the altitude
// chart, the calibration line.
#pragma once

#include <Elementary.h>

#include <cstdint>
#include <memory>
#include <string>

#include "ZentrelGraphItemList.h"

enum ZentrelGraphType {
    ALTI_GRAPH = 0,
    BARO_GRAPH = 1,
};

class ZentrelChart;

class ZentrelGraph {
  public:
    explicit ZentrelGraph(const char* caller);
    virtual ~ZentrelGraph();
    ZentrelGraph(const ZentrelGraph&) = delete;
    ZentrelGraph& operator=(const ZentrelGraph&) = delete;

    void createGraph(Evas_Object* layout, const char* partName,
                     std::shared_ptr<ZentrelGraphItemList> list, ZentrelGraphType type);
    void updateGraph(std::shared_ptr<ZentrelGraphItemList> list);
    void updateCalTimeLine(std::shared_ptr<ZentrelGraphItemList> list);
    void moveNowMark();
    void showArrow();
    void hideArrow();
    void destroyGraph();

    // The visible value range of the chart for a window (minimum, maximum).
    static void getMinMax(const ZentrelGraphItemList& list, ZentrelGraphType type, float& min,
                          float& max);

    // For tests and screen-reader texts: the chart object (null when destroyed),
    // the now mark and the zero label (null when not shown).
    Evas_Object* getChartObject() const;
    Evas_Object* getNowMark() const { return _img; }
    Evas_Object* getZeroLabel() const { return _textBlock; }

  private:
    static void _renderingFinishedCb(void* data, Evas_Object* obj, void* info);
    static Eina_Bool _nowMarkIdlerCb(void* data);
    static void _markDelCb(void* data, Evas* e, Evas_Object* obj, void* info);
    void _updateNowMark();
    void _deleteNowMark();
    void _deleteZeroLabel();
    void _applyRange(const ZentrelGraphItemList& list);
    float _itemValue(const ZentrelGraphItem& item) const;
    // A text-block style "DEFAULT='font=... font_size=... color=#...'" from
    // the theme's font and colour of a code.
    static std::string _createTextBlockStyle(const char* code, const char* align);

    std::string _edcPartName;
    Evas_Object* _layout = nullptr;
    std::shared_ptr<ZentrelGraphItemList> _itemList;
    std::unique_ptr<ZentrelChart> _chart;
    int _imgInitialX = 0;
    int _tbInitialX = 0;
    Evas_Object* _img = nullptr;
    Evas_Object* _textBlock = nullptr;
    ZentrelGraphType _graphType = BARO_GRAPH;
    int64_t _calTime = 0;
    std::string _caller;
    Ecore_Idler* _nowMarkIdler = nullptr;
};
