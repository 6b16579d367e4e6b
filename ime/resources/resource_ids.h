// Resource identifiers shared by the resource script and the code.
#pragma once

#define kSettingsDialog 107
#define kWordMakerDialog 129

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

// The word maker.
#define IDC_WORD_CODE 1034
#define IDC_WORD_TEXT 1036
#define IDC_WORD_DELETE 1064

// The status bar's popup menus; each shows its submenu 0.
#define kSoftKeyboardMenu 114 // "选择软键盘"
#define kSettingsMenu 115     // "设置菜单"
#define kInputModeMenu 127    // "输入模式"

// Menu commands.
#define IDM_SETTINGS_DIALOG 40001
#define IDM_HELP 40003
#define IDM_SOFT_KEYBOARD_0 40009
#define IDM_SOFT_KEYBOARD_1 40010
#define IDM_SOFT_KEYBOARD_2 40012
#define IDM_SOFT_KEYBOARD_3 40013
#define IDM_SOFT_KEYBOARD_4 40015
#define IDM_SOFT_KEYBOARD_5 40016
#define IDM_SOFT_KEYBOARD_6 40018
#define IDM_SOFT_KEYBOARD_7 40019
#define IDM_SOFT_KEYBOARD_8 40021
#define IDM_SOFT_KEYBOARD_9 40022
#define IDM_SOFT_KEYBOARD_10 40024
#define IDM_SOFT_KEYBOARD_11 40025
#define IDM_SOFT_KEYBOARD_12 40027
#define IDM_SOFT_KEYBOARDS 40034
#define IDM_SCHEME_A 40036
#define IDM_SCHEME_KEYPAD 40037
#define IDM_SCHEME_PINYIN 40038
#define IDM_SCHEME_D 40039
#define IDM_REVERSE_LOOKUP 40041
#define IDM_TRADITIONAL 40044
#define IDM_CODE_FINDER 40045
