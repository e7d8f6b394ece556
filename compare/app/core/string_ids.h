// Numbers of the texts in Twinview's string tables. Tool tips use the number
// of their control or command; the texts of windows, buttons and menus have
// numbers of their own from 1100 on.
#pragma once

namespace ids {

// Controls and commands of the main window; their tool tips share the number.
inline constexpr int kFile1 = 1000;
inline constexpr int kSelectFile1 = 1001;
inline constexpr int kFile2 = 1002;
inline constexpr int kSelectFile2 = 1003;
inline constexpr int kCompare = 1004;
inline constexpr int kImageView = 1005;
inline constexpr int kShowFirst = 1006;
inline constexpr int kShowSecond = 1007;
inline constexpr int kShowDifferences = 1008;
inline constexpr int kBlink = 1009;
inline constexpr int kZoomIn = 1010;
inline constexpr int kZoomOut = 1011;
inline constexpr int kZoomToDifferences = 1015;
inline constexpr int kZoomFullResolution = 1025;
inline constexpr int kZoomToWindow = 1026;
inline constexpr int kViewToolBar = 1029;
inline constexpr int kSettings = 1030;
inline constexpr int kModeToolBar = 1031;
// The highlight view mode: the difference picture of "twinview compare --diff".
inline constexpr int kHighlight = 1040;

// Messages and file dialog texts.
inline constexpr int kFileFilter = 1012;
inline constexpr int kUnsupportedFileType = 1014;
inline constexpr int kWrongPath = 1016;
inline constexpr int kNotSupported = 1017;
inline constexpr int kSameFile = 1018;
inline constexpr int kCannotRead = 1019;
inline constexpr int kDifferentSize = 1020;
inline constexpr int kRetryComparison = 1021;
inline constexpr int kDifferencesDetected = 1031;
inline constexpr int kNoDifferences = 1032;

// The "?" menu and the application title.
inline constexpr int kAboutItem = 7001;
inline constexpr int kHelpItem = 7003;
inline constexpr int kAppTitle = 57344;

// Items of the image view's context menu.
inline constexpr int kCopyImage = 32784;
inline constexpr int kMenuZoomToWindow = 32785;
inline constexpr int kMenuZoomFullResolution = 32786;
inline constexpr int kMenuZoomIn = 32787;
inline constexpr int kMenuZoomOut = 32788;
inline constexpr int kMenuZoomToDifferences = 32789;

// Texts of windows, labels and buttons.
inline constexpr int kMainCaption = 1100;
inline constexpr int kSelectFile1Text = 1101;
inline constexpr int kSelectFile2Text = 1102;
inline constexpr int kCompareText = 1103;
inline constexpr int kSettingsText = 1104;
inline constexpr int kHelpMenuText = 1105;
inline constexpr int kHelpMenuTip = 1106;
inline constexpr int kSelectFileTitle = 1107;
inline constexpr int kHelpMissing = 1108;
inline constexpr int kSettingsCaption = 1110;
inline constexpr int kImageSizeLabel = 1111;
inline constexpr int kChangeColourText = 1112;
inline constexpr int kSelectColourText = 1113;
inline constexpr int kOkText = 1114;
inline constexpr int kCancelText = 1115;
inline constexpr int kImageSizeRange = 1116;
inline constexpr int kColourDialogTitle = 1117;
inline constexpr int kAboutCaption = 1120;
inline constexpr int kAboutVersion = 1121;
inline constexpr int kAboutBuild = 1122;

// The status line: what the last comparison found.
inline constexpr int kPixelsDiffer = 1130;
inline constexpr int kOnePixelDiffers = 1131;
inline constexpr int kNoPixelsDiffer = 1132;
inline constexpr int kSizesDiffer = 1133;

} // namespace ids
