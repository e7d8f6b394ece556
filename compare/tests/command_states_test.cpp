// Command states per view mode and zoom state, the context menu's greying,
// and the order in which blinking shows the bitmaps.
#include "blinker.h"
#include "command_states.h"
#include "string_ids.h"
#include "zoom_model.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const int kModeCommands[] = {ids::kShowFirst, ids::kShowSecond, ids::kShowDifferences, ids::kBlink};
const int kZoomCommands[] = {ids::kZoomIn, ids::kZoomOut, ids::kZoomToDifferences, ids::kZoomFullResolution,
                             ids::kZoomToWindow};

} // namespace

TEST(CommandStates, BeforeAnyComparisonOnlyCompareIsOffered)
{
    for (int zoom = 0; zoom <= 3; ++zoom) {
        EXPECT_TRUE(MainCommandState(ids::kCompare, kNoComparison, zoom).enabled);
        for (int command : kModeCommands)
            EXPECT_EQ(MainCommandState(command, kNoComparison, zoom), (CommandState{false, false}));
        for (int command : kZoomCommands)
            EXPECT_FALSE(MainCommandState(command, kNoComparison, zoom).enabled) << command;
    }
}

TEST(CommandStates, TheButtonOfTheViewModeIsPressed)
{
    for (int mode = kShowFirst; mode <= kBlinking; ++mode) {
        for (int i = 0; i < 4; ++i) {
            const CommandState state = MainCommandState(kModeCommands[i], mode, kZoomScaledPartial);
            EXPECT_TRUE(state.enabled);
            EXPECT_EQ(state.checked, i == mode) << "mode " << mode << " button " << i;
        }
    }
}

TEST(CommandStates, ZoomInAndOutFollowTheZoomState)
{
    const bool zoomIn[] = {false, true, true, false};
    const bool zoomOut[] = {true, true, false, false};
    for (int zoom = 0; zoom <= 3; ++zoom) {
        EXPECT_EQ(MainCommandState(ids::kZoomIn, kShowDifferences, zoom).enabled, zoomIn[zoom]) << zoom;
        EXPECT_EQ(MainCommandState(ids::kZoomOut, kShowDifferences, zoom).enabled, zoomOut[zoom]) << zoom;
        for (int command : {ids::kZoomToDifferences, ids::kZoomFullResolution, ids::kZoomToWindow})
            EXPECT_TRUE(MainCommandState(command, kShowFirst, zoom).enabled);
    }
}

TEST(ContextMenuStates, EverythingIsGreyedWithoutABitmap)
{
    for (int item = ids::kCopyImage; item <= ids::kMenuZoomToDifferences; ++item)
        for (int zoom = 0; zoom <= 3; ++zoom)
            EXPECT_FALSE(ContextItemEnabled(item, false, zoom));
}

TEST(ContextMenuStates, ZoomItemsAreGreyedWhereTheyCannotZoom)
{
    EXPECT_FALSE(ContextItemEnabled(ids::kMenuZoomIn, true, kZoomFullPartial));
    EXPECT_FALSE(ContextItemEnabled(ids::kMenuZoomIn, true, kZoomFullWhole));
    EXPECT_TRUE(ContextItemEnabled(ids::kMenuZoomIn, true, kZoomScaledPartial));
    EXPECT_TRUE(ContextItemEnabled(ids::kMenuZoomIn, true, kZoomScaledWhole));
    EXPECT_FALSE(ContextItemEnabled(ids::kMenuZoomOut, true, kZoomScaledWhole));
    EXPECT_FALSE(ContextItemEnabled(ids::kMenuZoomOut, true, kZoomFullWhole));
    EXPECT_TRUE(ContextItemEnabled(ids::kMenuZoomOut, true, kZoomFullPartial));
    for (int item :
         {ids::kCopyImage, ids::kMenuZoomToWindow, ids::kMenuZoomFullResolution, ids::kMenuZoomToDifferences})
        EXPECT_TRUE(ContextItemEnabled(item, true, kZoomFullWhole));
}

TEST(Blinker, ShowsTheSecondFirstAndThenInTurn)
{
    CBlinker blinker;
    EXPECT_FALSE(blinker.Tick().has_value());
    blinker.Start();
    std::vector<CBlinker::Bitmap> shown;
    for (int i = 0; i < 5; ++i)
        shown.push_back(*blinker.Tick());
    using B = CBlinker::Bitmap;
    EXPECT_EQ(shown, (std::vector<B>{B::Second, B::First, B::Second, B::First, B::Second}));
}

TEST(Blinker, ANewComparisonStopsThePictureFromChangingAndBlinkingGoesOnInTurn)
{
    CBlinker blinker;
    blinker.Start();
    EXPECT_EQ(*blinker.Tick(), CBlinker::Bitmap::Second);
    blinker.Clear();
    EXPECT_FALSE(blinker.Tick().has_value());
    blinker.Start();
    EXPECT_EQ(*blinker.Tick(), CBlinker::Bitmap::First);
}
