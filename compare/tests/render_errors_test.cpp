// Automation errors in each step of the render: the message text with the
// step's label, the extra message after a failed zoom, and the render's
// result.
#include "engine_fixture.h"

namespace {

struct FailingStep {
    const char* call;
    int nth;
    const char* label; // empty: the export phase, which has no label
};

std::string Expected(const std::string& label)
{
    const std::string where = label.empty() ? " Error: " : " Error(" + label + "): ";
    return "\nDraftora" + where + "80004005\r\ninjected failure\r\nUnspecified error\r\n";
}

class RenderErrorTest : public EngineTest, public ::testing::WithParamInterface<FailingStep> {};

} // namespace

TEST_P(RenderErrorTest, ShowsTheErrorWithTheStepsLabelAndFails)
{
    const FailingStep step = GetParam();
    fake->FailAt(step.call, step.nth);
    ConnectQuietly();
    RenderRequest request = Pair();
    request.changeColour = true;
    const RenderResult result = engine.RenderPair(request);
    EXPECT_FALSE(result.ok);
    ASSERT_FALSE(result.messages.empty());
    EXPECT_EQ(result.messages[0].text, Expected(step.label));
    EXPECT_EQ(result.messages[0].kind, RenderMessageKind::AutomationError);
    if (std::string(step.label) == "Setup View - Zoom") {
        ASSERT_EQ(result.messages.size(), 2u);
        EXPECT_EQ(result.messages[1].kind, RenderMessageKind::RetryComparison);
    } else {
        EXPECT_EQ(result.messages.size(), 1u);
    }
    // (A close that fails itself leaves its document open; the others close.)
    const bool closeFails = std::string(step.call) == "Document.Close";
    for (std::size_t i = closeFails ? 1 : 0; i < fake->documents.size(); ++i)
        EXPECT_FALSE(fake->documents[i].open) << "documents opened for the comparison are closed";
}

INSTANTIATE_TEST_SUITE_P(
    EveryStep, RenderErrorTest,
    ::testing::Values(FailingStep{"Documents.Open", 1, "Open File 1"},
                      FailingStep{"Document.MakeCurrent", 1, "Setup View 1"},
                      FailingStep{"Document.Extents", 1, "Setup View 1"},
                      FailingStep{"Documents.Open", 2, "Open File 2"}, FailingStep{"View.Refresh", 2, "Setup View 2"},
                      FailingStep{"Background.Get", 1, ""}, FailingStep{"View.FillFrame", 3, "Setup View - Maximize"},
                      FailingStep{"Document.ViewPointsHolder", 1, "Setup View - Get Points"},
                      FailingStep{"ViewPoints.PutPoints", 2, "Setup View - Set Points"},
                      FailingStep{"View.ZoomToWindow", 1, "Setup View - Zoom"},
                      FailingStep{"View.Scale", 1, "Setup View 0.95"}, FailingStep{"Document.RunMacro", 2, "MacroEXEc"},
                      FailingStep{"Document.Close", 1, ""}));

TEST_F(EngineTest, ReportsATimedOutCallWithTheStepsLabel)
{
    fake->FailAt("Documents.Open", 1, 0x800705B4u);
    ConnectQuietly();
    const RenderResult result = engine.RenderPair(Pair());
    ASSERT_EQ(result.messages.size(), 1u);
    EXPECT_EQ(result.messages[0].text,
              "\nDraftora Error(Open File 1): 800705B4\r\ninjected failure\r\n"
              "This operation returned because the timeout period expired.\r\n");
}

TEST_F(EngineTest, AnErrorBeforeTheFirstDrawingHasNoLabel)
{
    fake->FailAt("Application.Documents", 1);
    ConnectQuietly();
    const RenderResult result = engine.RenderPair(Pair());
    EXPECT_FALSE(result.ok);
    ASSERT_EQ(result.messages.size(), 1u);
    EXPECT_EQ(result.messages[0].text, Expected(""));
}

TEST(AutomationError, FormatsTheCodeAsA32BitHexadecimalValue)
{
    const CAutomationError error("Engine", 0x8007000Du, "bad data", "The data is invalid.");
    EXPECT_EQ(error.Message("MacroEXEc"),
              "\nEngine Error(MacroEXEc): 8007000D\r\nbad data\r\nThe data is invalid.\r\n");
    EXPECT_EQ(CAutomationError("E", 0x1Fu, "d", "s").Message(""), "\nE Error: 1F\r\nd\r\ns\r\n");
    EXPECT_EQ(std::string(error.what()), "bad data");
}

TEST(AutomationError, OnlyTheZoomStepAsksForTheRetryMessage)
{
    const CAutomationError error("E", 1, "d", "s");
    EXPECT_EQ(CEngineStepError("Setup View - Zoom", error).Messages().size(), 2u);
    EXPECT_EQ(CEngineStepError("Setup View 0.95", error).Messages().size(), 1u);
    EXPECT_EQ(CEngineStepError("", error).Messages().size(), 1u);
}
