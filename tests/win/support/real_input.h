// The real mouse and keyboard through the system's input queue: hit tests,
// activation, capture and focus run as for a person at the screen.
#pragma once
#include "vcl/win.h"

namespace inputtest {

// A press and a release of a mouse button (left by default) at a screen point.
inline void SendButton(POINT screen, DWORD down = MOUSEEVENTF_LEFTDOWN, DWORD up = MOUSEEVENTF_LEFTUP) {
    SetCursorPos(screen.x, screen.y);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = down;
    in[1].mi.dwFlags = up;
    SendInput(2, in, sizeof(INPUT));
}

// A key pressed and released.
inline void SendKey(WORD key) {
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = key;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
}

}  // namespace inputtest
