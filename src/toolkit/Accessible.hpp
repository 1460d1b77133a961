// A control's accessible object under another name: for a control whose label does not say what
// it is for (a ">>" button, an edit after "Ctrl　+"), or that has no label.
#pragma once

#include <windows.h>

#include <string>

// The answer to the control's WM_GETOBJECT for OBJID_CLIENT: the system's own object of the
// control, named by the name.
LRESULT AccessibleObjectNamed(HWND control, WPARAM flags, const std::wstring& name);
