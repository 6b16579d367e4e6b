// Resource identifiers shared by the resource script and the code.
#pragma once

#define kSettingsDialog 107

// Bitmaps, drawn at build time by scripts/make-artwork.sh.
#define kStatusBitmap 103              // status bar, 120 x 40: six buttons in two looks
#define kPromptChartOneCharBitmap 128  // keypad prompt chart for one-character input, 160 x 85
#define kPromptChartKeyboardBitmap 129 // keypad prompt chart for longer input, 500 x 188

#define IDC_FULLWIDTH_SYMBOLS 1061
#define IDC_FULLWIDTH_LETTERS 1060
#define IDC_ROOT_HINTS 1050
#define IDC_OPERATION_HINTS 1064
#define IDC_WORD_ASSOCIATION 1052
#define IDC_CARET_FOLLOW 1068
#define IDC_PROGRESSIVE_HINTS 1069
#define IDC_SKIN_LIST 1070
#define IDC_SKIN_PREVIEW 1073
#define IDC_VERTICAL_LAYOUT 1074
#define IDC_WEB_SEARCH 1075
