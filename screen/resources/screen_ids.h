// Resource and control identifiers of PVemoraScreen, shared by the resource script, the program
// and its tests.
#pragma once

#define kScreenIcon 1   // tray and about-box icon, 16 x 16 and 32 x 32
#define kCardPicture 2  // card background, 283 x 206
#define kAboutDialog 10 // the about box

// Child windows of the card.
#define kWordLabel 101
#define kKeyLabel 102
#define kDescriptionLabel 103

// Controls of the about box.
#define kAboutIconControl 201
#define kAboutTitleControl 202
#define kAboutVersionControl 203

// Commands of the tray menu (WM_COMMAND).
#define kCommandToggleGrab 301
#define kCommandAbout 302
#define kCommandExit 303

// The tray icon's callback message.
#define kTrayCallbackMessage 1124
