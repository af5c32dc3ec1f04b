// Raising engine events while handlers subscribe and unsubscribe: every subscriber
// present when an event is raised gets it once, one that left is never called.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "TestImages.h"
#include "engine/ZorixImgEngine.h"
#include "engine/ZorixImgEngineEvents.h"
#include "support/RLEBuilder.h"

namespace enginetest {
namespace {

using quenda::EngineEventHub;

// Counts the events it gets and runs an optional action inside each one.
class Counter : public quenda::ZorixImgEngineEvents {
  public:
    void RLEDecodingStarted(const std::string&) override {
        ++started;
        if (onEvent) {
            onEvent();
        }
    }
    void RLEEncodingStarted(const std::string&) override { ++encodingStarted; }
    void RLEEncoding(const std::string&, int16_t, const std::string&, const std::string&, float,
                     int32_t) override {
        ++encoding;
        if (onEncoding) {
            onEncoding();
        }
    }
    void RLEEncodingComplete(const std::string&, bool, bool) override { ++completed; }

    int started = 0;
    int encodingStarted = 0;
    int encoding = 0;
    int completed = 0;
    std::function<void()> onEvent;
    std::function<void()> onEncoding;
};

TEST(EngineEventHub, SubscribersThatJoinDuringAnEventGetTheNextOne) {
    EngineEventHub hub;
    Counter first, last;
    // Enough joiners that the list must grow while the event is being raised.
    std::vector<std::unique_ptr<Counter>> joiners;
    for (int i = 0; i < 64; ++i) {
        joiners.push_back(std::make_unique<Counter>());
    }
    first.onEvent = [&] {
        for (auto& j : joiners) {
            hub.Subscribe(j.get());
        }
        first.onEvent = nullptr;
    };
    hub.Subscribe(&first);
    hub.Subscribe(&last);

    hub.RLEDecodingStarted("a");
    EXPECT_EQ(first.started, 1);
    EXPECT_EQ(last.started, 1);
    for (auto& j : joiners) {
        EXPECT_EQ(j->started, 0);
    }

    hub.RLEDecodingStarted("b");
    EXPECT_EQ(first.started, 2);
    EXPECT_EQ(last.started, 2);
    for (auto& j : joiners) {
        EXPECT_EQ(j->started, 1);
    }
}

TEST(EngineEventHub, LeavingDuringAnEventSkipsNobodyElse) {
    EngineEventHub hub;
    Counter a, b, c;
    a.onEvent = [&] { hub.Unsubscribe(&a); };
    hub.Subscribe(&a);
    hub.Subscribe(&b);
    hub.Subscribe(&c);
    hub.RLEDecodingStarted("x");
    EXPECT_EQ(a.started, 1);
    EXPECT_EQ(b.started, 1);
    EXPECT_EQ(c.started, 1);
    hub.RLEDecodingStarted("y");
    EXPECT_EQ(a.started, 1);
    EXPECT_EQ(b.started, 2);
    EXPECT_EQ(c.started, 2);
}

TEST(EngineEventHub, OneRemovedDuringAnEventIsNotCalledAnymore) {
    EngineEventHub hub;
    Counter a;
    auto later = std::make_unique<Counter>();
    a.onEvent = [&] {
        hub.Unsubscribe(later.get());
        later.reset();  // a departed subscriber may be destroyed at once
    };
    hub.Subscribe(&a);
    hub.Subscribe(later.get());
    hub.RLEDecodingStarted("x");
    EXPECT_EQ(a.started, 1);
    EXPECT_EQ(later, nullptr);
}

TEST(EngineEventHub, LeavingAndRejoiningDuringAnEventIsCalledOnce) {
    EngineEventHub hub;
    Counter a, b;
    a.onEvent = [&] {
        hub.Unsubscribe(&b);
        hub.Subscribe(&b);
        hub.Unsubscribe(&a);
        hub.Subscribe(&a);
    };
    hub.Subscribe(&a);
    hub.Subscribe(&b);
    hub.RLEDecodingStarted("x");
    EXPECT_EQ(a.started, 1);
    EXPECT_EQ(b.started, 1);
}

TEST(EngineEventHub, DuplicateAndNullSubscriptionsAreIgnored) {
    EngineEventHub hub;
    Counter a;
    hub.Subscribe(&a);
    hub.Subscribe(&a);
    hub.Subscribe(nullptr);
    hub.RLEDecodingStarted("x");
    EXPECT_EQ(a.started, 1);
    hub.Unsubscribe(&a);
    hub.RLEDecodingStarted("y");
    EXPECT_EQ(a.started, 1);
}

// What a progress window does: it joins at the start of an encoding and leaves in
// the middle of it, while the engine raises the events of a real save.
TEST(EngineEventHub, SubscribingFromInsideAnEncodingOfTheEngine) {
    namespace fs = std::filesystem;
    const std::string dir = testsupport::MakeTempDir("zorix-hub");
    quenda::ZorixImgEngine engine;
    auto image = MakeImage(6, 4, false, [](int x, int y) {
        return Pixel{Rgb(static_cast<unsigned>(x * 40), static_cast<unsigned>(y * 60), 90), 255};
    });
    const std::string source = (fs::path(dir) / "source.bmp").string();
    ASSERT_TRUE(image->SaveToFile(source, false));
    ASSERT_TRUE(engine.LoadImage(source));

    Counter host, window;
    std::vector<std::unique_ptr<Counter>> crowd;
    host.onEncoding = [&] {
        if (host.encoding == 1) {
            engine.Subscribe(&window);
            for (int i = 0; i < 32; ++i) {
                crowd.push_back(std::make_unique<Counter>());
                engine.Subscribe(crowd.back().get());
            }
        }
    };
    window.onEncoding = [&] {
        if (window.encoding == 2) {
            engine.Unsubscribe(&window);
        }
    };
    engine.Subscribe(&host);
    ASSERT_TRUE(engine.SaveImageAs((fs::path(dir) / "out.bmp").string(), quenda::IS_BMP_RL));
    ASSERT_GT(host.encoding, 3);
    EXPECT_EQ(host.encodingStarted, 1);
    EXPECT_EQ(host.completed, 1);
    EXPECT_EQ(window.encoding, 2);
    EXPECT_EQ(window.completed, 0);
    for (auto& c : crowd) {
        EXPECT_EQ(c->encoding, host.encoding - 1);
        EXPECT_EQ(c->completed, 1);
    }
    for (auto& c : crowd) {
        engine.Unsubscribe(c.get());
    }
    engine.Unsubscribe(&host);
    fs::remove_all(dir);
}

}  // namespace
}  // namespace enginetest
