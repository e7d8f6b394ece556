#include "twinview/draftora_engine.h"

CEngineStepError::CEngineStepError(std::string label, CAutomationError error)
    : std::runtime_error(error.what()), m_label(std::move(label)), m_error(std::move(error))
{
}

std::vector<RenderMessage> CEngineStepError::Messages() const
{
    std::vector<RenderMessage> messages{{m_error.Message(m_label), 0}};
    // A failed zoom leaves the engine's view in a state the user should
    // clear by simply comparing again.
    if (m_label == "Setup View - Zoom")
        messages.push_back({std::string(), kRetryComparisonString});
    return messages;
}
