#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <thread>

#include "CTriggerConfig.h"
#include "CTriggerDetector.h"

namespace {

TEST(TriggerConfigTest, HotKeyWithoutKeyCarriesNoModifiers)
{
    CTriggerConfig config;
    config.SetHotKey(0, true, true, true);
    const TriggerSettings s = config.Snapshot();
    EXPECT_EQ(0, s.key);
    EXPECT_FALSE(s.shift || s.ctrl || s.alt);
}

TEST(TriggerConfigTest, SettersChangeOnlyTheirOwnTrigger)
{
    CTriggerConfig config;
    config.SetMiddleButton(true);
    config.SetHotKey(VK_F7, false, true, false);
    config.SetBothButtons(true);
    config.SetMiddleButton(false);
    const TriggerSettings s = config.Snapshot();
    EXPECT_FALSE(s.middleButton);
    EXPECT_TRUE(s.bothButtons);
    EXPECT_EQ(VK_F7, s.key);
    EXPECT_TRUE(s.ctrl);
    EXPECT_FALSE(s.shift || s.alt);
}

// The user-interface thread changes the hot key while the hook thread keeps
// deciding. Every decision must follow one whole configuration: F7 fires only
// with Ctrl, F8 only with Shift, never a key with the other one's modifier.
TEST(TriggerConfigTest, HotKeyChangedFromAnotherThreadIsNeverSeenHalfWritten)
{
    CTriggerConfig config;
    config.SetHotKey(VK_F7, false, true, false);
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        for (int i = 0; !stop.load(); ++i) {
            if (i % 2)
                config.SetHotKey(VK_F7, false, true, false);
            else
                config.SetHotKey(VK_F8, true, false, false);
        }
    });

    int wrongTriggers = 0;
    int triggers = 0;
    for (int i = 0; i < 200000; ++i) {
        CTriggerDetector detector;
        const uint8_t key = (i % 2) ? VK_F7 : VK_F8;
        const KeyModifiers wrongModifiers{key == VK_F7, key == VK_F8, false, false};
        const KeyModifiers rightModifiers{key == VK_F8, key == VK_F7, false, false};
        if (detector.OnKey(key, true, 0, wrongModifiers, config.Snapshot()) == InputVerdict::Trigger)
            ++wrongTriggers;
        CTriggerDetector fresh;
        if (fresh.OnKey(key, true, 0, rightModifiers, config.Snapshot()) == InputVerdict::Trigger)
            ++triggers;
    }
    stop = true;
    writer.join();
    EXPECT_EQ(0, wrongTriggers);
    EXPECT_GT(triggers, 0);
}

}  // namespace
