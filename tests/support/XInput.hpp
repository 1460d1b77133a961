// A user's hands on the X display of the Wine desktop: keys and clicks made by xdotool as X
// events, which go where the X server sends a real keyboard's and mouse's, the X keyboard focus
// and the window under the pointer. Nothing here focuses or raises a window.
#pragma once

#include <windows.h>

#include <string>

// Runs xdotool with the arguments (a shell word list) and returns once the X server has the
// events; its standard output is returned.
std::string XDoTool(const std::string& arguments);

// Presses keys in xdotool's names, one chord after another ("ctrl+k 1 n", "Escape"), the
// given milliseconds apart (0: as fast as the X server takes them).
void XKeys(const std::string& keys, int delayMs = 40);
// Types the text (ASCII) as a keyboard would.
void XType(const std::string& text);
// Moves the pointer to the point and clicks the button (1 left, 3 right) the number of times.
void XClick(POINT point, int button = 1, int count = 1);
// Presses the left button at one point, moves in steps to the other and, unless told to stop
// there, releases it.
void XDragTo(POINT from, POINT to, bool release = true);
void XButtonUp();
// Moves the pointer, buttons as they are.
void XMoveTo(POINT to);
// Where the tray icon of the desktop's task bar sits (the right end, the only icon there).
POINT TrayIconPoint();
// The name of the X window that has the keyboard focus (a Windows window's caption), or "".
std::string XFocusName();
// Keys typed from now on reach a top-level window with this caption: it has the X focus.
bool XFocusComesTo(const std::string& caption);
