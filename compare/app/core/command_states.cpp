#include "command_states.h"

#include "string_ids.h"
#include "zoom_model.h"

namespace {

bool ZoomInOffered(int zoomState)
{
    return zoomState == kZoomScaledPartial || zoomState == kZoomScaledWhole;
}

bool ZoomOutOffered(int zoomState)
{
    return zoomState == kZoomFullPartial || zoomState == kZoomScaledPartial;
}

int ModeOfCommand(int command)
{
    switch (command) {
    case ids::kShowFirst: return kShowFirst;
    case ids::kShowSecond: return kShowSecond;
    case ids::kShowDifferences: return kShowDifferences;
    case ids::kBlink: return kBlinking;
    case ids::kHighlight: return kHighlighting;
    default: return kNoComparison;
    }
}

} // namespace

CommandState MainCommandState(int command, int viewMode, int zoomState)
{
    const bool compared = viewMode >= 0;
    switch (command) {
    case ids::kShowFirst:
    case ids::kShowSecond:
    case ids::kShowDifferences:
    case ids::kBlink:
    case ids::kHighlight: return {compared, compared && viewMode == ModeOfCommand(command)};
    case ids::kZoomIn: return {compared && ZoomInOffered(zoomState), false};
    case ids::kZoomOut: return {compared && ZoomOutOffered(zoomState), false};
    case ids::kZoomToDifferences:
    case ids::kZoomFullResolution:
    case ids::kZoomToWindow: return {compared, false};
    default: return {true, false};
    }
}

bool ContextItemEnabled(int item, bool bitmapShown, int zoomState)
{
    if (!bitmapShown)
        return false;
    if (item == ids::kMenuZoomIn)
        return zoomState != kZoomFullPartial && zoomState != kZoomFullWhole;
    if (item == ids::kMenuZoomOut)
        return zoomState != kZoomScaledWhole && zoomState != kZoomFullWhole;
    return true;
}
