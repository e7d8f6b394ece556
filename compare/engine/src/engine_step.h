#pragma once

#include "twinview/draftora_engine.h"

#include <utility>

// Runs one labelled step: an automation error inside it ends the step and
// carries the label to the message the user sees.
template <class Step> void RunStep(const char* label, Step&& step)
{
    try {
        std::forward<Step>(step)();
    } catch (const CAutomationError& error) {
        throw CEngineStepError(label, error);
    }
}
