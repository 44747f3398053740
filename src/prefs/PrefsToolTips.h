// The tooltips of the preferences dialog and of its colour samples.
#pragma once

#include <windows.h>

// The widest a tip may be; longer texts wrap.
constexpr int PrefsTipWidth = 250;

// A tooltip control owned by owner, shown also while its owner is inactive,
// with "&" shown as written and tips at most PrefsTipWidth pixels wide.
HWND CreateTipControl(HWND owner);

// Adds one tool to tip: the whole client area of control, whose mouse
// messages the tooltip picks up by subclassing it, tool id 1, with the text
// of string textId. False when the tooltip refused the tool.
bool AddTipTool(HWND tip, HWND control, UINT textId);

// Creates the preferences dialog's tooltip control with its seven tools: the
// two square-picture boxes, the two colour-sample placeholders, the knight
// picture box, the cursor box and the hand-cursor box. Returns the control.
HWND AddPrefsToolTips(HWND dialog);
