#pragma once

#include <windows.h>

#include <string>

// The launcher's window text, and the game window's when its address
// carries no names.
inline constexpr wchar_t kProductTitle[] = L"Qelmora";

// Posted by the login window: open the game. lParam is a heap wide string
// (new wchar_t[]) with the game page address, freed by the receiver.
inline constexpr UINT kMsgOpenGame = WM_USER + 100;
// Posted by the game window after it closed; wParam and lParam 0.
inline constexpr UINT kMsgGameClosed = WM_USER + 101;

// From the launcher's top-left corner to the login window's.
inline constexpr int kLoginOffsetX = 530;
inline constexpr int kLoginOffsetY = 257;

// A heap copy of |text| for kMsgOpenGame; the receiver frees it with
// delete[].
wchar_t* NewMessageString(const std::wstring& text);
