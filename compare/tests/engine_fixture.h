// A CDraftoraEngine wired to the recording fake, its sleeper and a private
// temporary directory, with two drawings of different extents.
#pragma once

#include "fake_engine.h"
#include "twinview/draftora_engine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class EngineTest : public ::testing::Test {
protected:
    const std::string drawing1 = "/plans/house-a.vkd";
    const std::string drawing2 = "/plans/house-b.vkd";
    // Union: -20..100 x 0..70; margin 1.2.
    const BoxCorners extents1{0, 0, 0, 100, 50, 0};
    const BoxCorners extents2{-20, 10, 0, 80, 70, 0};

    std::shared_ptr<FakeEngine> fake = std::make_shared<FakeEngine>();
    std::shared_ptr<FakeSleeper> sleeper = std::make_shared<FakeSleeper>(fake);
    std::shared_ptr<CPrivateTempDir> temp = std::make_shared<CPrivateTempDir>();
    CDraftoraEngine engine{fake, temp, sleeper};
    const std::string bitmap1 = temp->NewFileName("cmp", ".BMP");
    const std::string bitmap2 = temp->NewFileName("cmp", ".BMP");

    void SetUp() override
    {
        fake->AddDrawing(drawing1, extents1);
        fake->AddDrawing(drawing2, extents2);
        fake->running = true;
    }

    RenderRequest Pair() const
    {
        RenderRequest request;
        request.drawing1 = drawing1;
        request.bitmap1 = bitmap1;
        request.drawing2 = drawing2;
        request.bitmap2 = bitmap2;
        return request;
    }

    // Connects, then forgets the calls of the connection.
    void ConnectQuietly()
    {
        ASSERT_TRUE(engine.Connect());
        fake->calls.clear();
    }

    // The calls named `name`, in order.
    std::vector<FakeCall> CallsNamed(const std::string& name) const
    {
        std::vector<FakeCall> found;
        for (const FakeCall& call : fake->calls)
            if (call.name == name)
                found.push_back(call);
        return found;
    }
};
