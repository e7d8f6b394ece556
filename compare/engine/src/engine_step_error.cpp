#include "twinview/draftora_engine.h"

CEngineStepError::CEngineStepError(std::string label, CAutomationError error)
    : std::runtime_error(error.what()), m_label(std::move(label)), m_error(std::move(error))
{
}

std::vector<RenderMessage> CEngineStepError::Messages() const
{
    std::vector<RenderMessage> messages{{RenderMessageKind::AutomationError, m_error.Message(m_label)}};
    // A failed zoom leaves the engine's view in a state the user should
    // clear by simply comparing again.
    if (m_label == "Setup View - Zoom")
        messages.push_back({RenderMessageKind::RetryComparison, std::string()});
    return messages;
}
