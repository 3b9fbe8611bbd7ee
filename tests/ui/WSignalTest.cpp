// Listener order, changes of the listener list during an emission, tied
// objects and double removal.
#include <WSignal.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "UiTestSupport.h"

namespace {

using StringSignal = brisa::WSignal<void(const std::string&, void*)>;
using PlainSignal = brisa::WSignal<void()>;

TEST(WSignalTest, ListenersRunInIdOrderAndChangesDuringEmissionApplyAfterIt) {
    testsupport::LogCapture log;
    StringSignal signal;
    std::vector<std::string> calls;
    int lateId = -1;
    int secondId = -1;
    int firstId = signal.addListener([&](const std::string& name, void* data) {
        calls.push_back("first:" + name + ":" + std::to_string(*static_cast<int*>(data)));
        // Added during the emission: not called now, called next time.
        if (lateId < 0) {
            lateId = signal.addListener(
                [&](const std::string& n, void*) { calls.push_back("late:" + n); });
        }
        // Removed during the emission: the later listener is skipped at once.
        signal.removeListener(secondId);
    });
    secondId = signal.addListener([&](const std::string&, void*) { calls.push_back("second"); });
    int thirdId = signal.addListener([&](const std::string& n, void*) {
        calls.push_back("third:" + n);
        signal.removeListener(thirdId);  // itself
    });
    EXPECT_LT(firstId, secondId);
    EXPECT_LT(secondId, thirdId);

    int value = 7;
    signal.onEmit("language,changed", &value);
    EXPECT_EQ(calls,
              (std::vector<std::string>{"first:language,changed:7", "third:language,changed"}));

    calls.clear();
    signal.onEmit("again", &value);
    // The second and third listeners are gone for good; the late one joined.
    // The first listener removes secondId again, which is logged.
    EXPECT_EQ(calls, (std::vector<std::string>{"first:again:7", "late:again"}));
    EXPECT_TRUE(log.contains("Already removed listener! =" + std::to_string(secondId)));
}

TEST(WSignalTest, DoubleRemovalIsLoggedAndHarmless) {
    testsupport::LogCapture log;
    PlainSignal signal;
    int calls = 0;
    int id = signal.addListener([&] { ++calls; });
    signal.removeListener(id);
    signal.removeListener(id);
    signal.removeListener(-5);
    signal.onEmit();
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(log.count("Already removed listener! =" + std::to_string(id)), 1);
    EXPECT_TRUE(log.contains("Already removed listener! =-5"));
    EXPECT_TRUE(signal.empty());
}

TEST(WSignalTest, TiedObjectTakesItsListenerAlongAlsoDuringEmission) {
    uitest::ElmBuffer elm;
    testsupport::LogCapture log;
    Evas_Object* win = uitest::addWindow("signal");
    Evas_Object* screenA = evas_object_rectangle_add(evas_object_evas_get(win));
    Evas_Object* screenB = evas_object_rectangle_add(evas_object_evas_get(win));
    PlainSignal signal;
    std::vector<std::string> calls;
    signal.addListener([&] { calls.push_back("A"); }, screenA);
    // B's listener deletes the object C's listener is tied to, mid-emission.
    Evas_Object* screenC = evas_object_rectangle_add(evas_object_evas_get(win));
    signal.addListener(
        [&] {
            calls.push_back("B");
            if (screenC) {
                evas_object_del(screenC);
                screenC = nullptr;
            }
        },
        screenB);
    int idC = signal.addListener([&] { calls.push_back("C"); }, screenC);

    evas_object_del(screenA);
    signal.onEmit();
    EXPECT_EQ(calls, (std::vector<std::string>{"B"}));

    calls.clear();
    signal.onEmit();
    EXPECT_EQ(calls, (std::vector<std::string>{"B"}));
    // C's listener went with its object; removing it by id is a double removal.
    signal.removeListener(idC);
    EXPECT_TRUE(log.contains("Already removed listener! =" + std::to_string(idC)));

    // A signal that dies before its tied object leaves no callback behind.
    {
        PlainSignal shortLived;
        shortLived.addListener([&] { calls.push_back("short"); }, screenB);
    }
    evas_object_del(screenB);
    EXPECT_TRUE(signal.empty());
    evas_object_del(win);
}

TEST(WSignalTest, SignalDeletedByItsOwnListenerStopsSafely) {
    auto* signal = new PlainSignal;
    int after = 0;
    signal->addListener([&] { delete signal; });
    signal->addListener([&] { ++after; });
    signal->onEmit();
    EXPECT_EQ(after, 0);
}

}  // namespace
