// The edit queue: gestures delivered as written while there is room, merged
// without losing a begin, an end or a last value when there is none, drains
// that meet another or a stopped sink, and a writer and a drainer at once.
#include "effect/editqueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Zorv::GEditQueue;

constexpr int kParams = 3;

// Renders deliveries as "B0 V0=0.5 E0", a run of one value as "V0=0.5x254".
struct Transcript : Zorv::GEditSink {
    void beginEdit(int index) override { add("B" + std::to_string(index)); }
    void automate(int index, float v) override
    {
        char text[32];
        snprintf(text, sizeof(text), "V%d=%.7g", index, double(v));
        add(text);
    }
    void endEdit(int index) override { add("E" + std::to_string(index)); }
    bool stopped() override { return stopAfter >= 0 && int(events.size()) >= stopAfter; }

    void add(const std::string& event)
    {
        if (!events.empty() && events.back().first == event)
            ++events.back().second;
        else
            events.push_back({event, 1});
        if (onEvent)
            onEvent();
    }
    std::string text() const
    {
        std::string out;
        for (const auto& [event, count] : events)
            out += (out.empty() ? "" : " ") + event + (count > 1 ? "x" + std::to_string(count) : "");
        return out;
    }

    std::vector<std::pair<std::string, int>> events;
    int stopAfter = -1;
    std::function<void()> onEvent;
};

// Script tokens: B1, E1, V1=0.5, V1=0.5x300 (that many times), D (drain now).
void run(GEditQueue& queue, const std::string& script, Transcript& sink)
{
    std::istringstream tokens(script);
    for (std::string token; tokens >> token;) {
        const int index = atoi(token.c_str() + 1);
        if (token == "D") {
            queue.drain(sink);
        } else if (token[0] == 'B') {
            queue.begin(index);
        } else if (token[0] == 'E') {
            queue.end(index);
        } else {
            const float value = strtof(token.c_str() + token.find('=') + 1, nullptr);
            const size_t times = token.find('x');
            for (int n = times == std::string::npos ? 1 : atoi(token.c_str() + times + 1); n > 0; --n)
                queue.value(index, value);
        }
    }
    queue.drain(sink);
}

TEST(EditQueueTest, KeepsWhatFitsAndMergesTheRestWithoutLosingEndsOrLastValues)
{
    static_assert(GEditQueue::kCapacity == 256, "the scripts fill a ring of 256");
    struct Case {
        const char* script;
        const char* delivered;
    } cases[] = {
        {"B0 V0=0.1 V0=0.2 E0", "B0 V0=0.1 V0=0.2 E0"},
        {"B0 V0=0.1 B1 V1=0.9 E0 V1=0.8 E1", "B0 V0=0.1 B1 V1=0.9 E0 V1=0.8 E1"},
        {"V2=1 V2=0", "V2=1 V2=0"},  // a momentary button: values without a gesture
        // Full: later values join the last slot, the end too.
        {"B0 V0=0.5x300 V0=0.7 E0", "B0 V0=0.5x254 V0=0.7 E0"},
        // Full: a new gesture waits in its parameter's own entry.
        {"B0 V0=0.5x254 E0 B0 V0=0.6 E0", "B0 V0=0.5x254 E0 B0 V0=0.6 E0"},
        // Full: two gestures of another parameter join into one, after the ring.
        {"B0 V0=0.5x255 B1 V1=0.2 E1 B1 V1=0.3 E1 E0", "B0 V0=0.5x255 E0 B1 V1=0.3 E1"},
        // Room again after a drain.
        {"B0 V0=0.5x256 D V0=0.6 E0", "B0 V0=0.5x255 V0=0.6 E0"},
        {"B-1 B3 V9=0.1 E-1", ""},
    };
    for (const Case& c : cases) {
        GEditQueue queue(kParams);
        Transcript sink;
        run(queue, c.script, sink);
        EXPECT_EQ(sink.text(), c.delivered) << c.script;
    }
}

TEST(EditQueueTest, ADrainInsideADrainOrIntoAStoppedSinkLeavesTheRestForLater)
{
    GEditQueue queue(kParams);
    Transcript sink;
    bool inner = true;
    sink.onEvent = [&] { inner = inner && queue.drain(sink); };
    sink.stopAfter = 2;
    run(queue, "B0 V0=0.5 E0", sink);
    EXPECT_FALSE(inner) << "re-entered from a delivery";
    EXPECT_EQ(sink.text(), "B0 V0=0.5");
    sink.onEvent = nullptr;
    sink.stopAfter = -1;
    queue.drain(sink);
    EXPECT_EQ(sink.text(), "B0 V0=0.5 E0");
}

TEST(EditQueueTest, AWriterAndADrainerAtOnceKeepEveryGestureWholeAndEveryLastValue)
{
    GEditQueue queue(kParams);
    Transcript sink;
    constexpr int kGestures = 20000;
    std::atomic<bool> writing{true};
    std::thread writer([&] {
        for (int g = 0; g < kGestures; ++g) {
            const int index = g % kParams;
            queue.begin(index);
            for (int v = 0; v <= g % 7; ++v)
                queue.value(index, float(g) + float(v) / 8.0f);
            queue.end(index);
        }
        writing = false;
    });
    while (writing.load())
        queue.drain(sink);
    writer.join();
    queue.drain(sink);

    std::vector<int> open(kParams, 0), gestures(kParams, 0);
    std::vector<std::string> last(kParams);
    for (const auto& [event, count] : sink.events) {
        const int index = event[1] - '0';
        ASSERT_LT(index, kParams) << event;
        if (event[0] == 'B') {
            ASSERT_EQ(open[index], 0) << "begun twice: " << event;
            open[index] = 1;
            ++gestures[index];
        } else if (event[0] == 'E') {
            ASSERT_EQ(open[index], 1) << "ended unbegun: " << event;
            open[index] = 0;
        } else {
            ASSERT_EQ(open[index], 1) << "value outside a gesture: " << event;
            last[index] = event.substr(3);
        }
    }
    for (int i = 0; i < kParams; ++i) {
        int g = kGestures - 1;  // the parameter's last gesture
        while (g % kParams != i)
            --g;
        char expected[32];
        snprintf(expected, sizeof(expected), "%.7g", double(float(g) + float(g % 7) / 8.0f));
        EXPECT_EQ(open[i], 0);
        EXPECT_GT(gestures[i], 0);
        EXPECT_EQ(last[i], expected) << "parameter " << i;
    }
}

}  // namespace
