// Which commands of the main window and of the image view's context menu
// are offered, and which mode button is shown pressed.
#pragma once

// View modes of the main window.
enum ViewMode {
    kNoComparison = -1,
    kShowFirst = 0,
    kShowSecond = 1,
    kShowDifferences = 2,
    kBlinking = 3,
    kHighlighting = 4
};

struct CommandState {
    bool enabled = false;
    bool checked = false;
    bool operator==(const CommandState& other) const { return enabled == other.enabled && checked == other.checked; }
};

// A command of the main window (1004, 1006..1011, 1015, 1025, 1026, 1040) in a
// view mode and zoom state; other commands are always enabled.
CommandState MainCommandState(int command, int viewMode, int zoomState);

// An item of the context menu (32784..32789); every item is greyed when the
// view shows no bitmap.
bool ContextItemEnabled(int item, bool bitmapShown, int zoomState);
