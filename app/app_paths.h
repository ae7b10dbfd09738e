#pragma once

#include <string>

// Window class names, also the windows' texts.
inline constexpr wchar_t kLauncherClassName[] = L"Game_start";
inline constexpr wchar_t kLoginClassName[] = L"Game_login";
inline constexpr wchar_t kGameClassName[] = L"Game_client";

// The program's folder, always with its trailing separator.
std::wstring ModuleDirectory();
// The folder the browser runtime keeps its data in: "<program>\cef_temp\".
std::wstring BrowserDataFolder();
// The resource root: "<program>\resources\".
std::wstring ResourceRoot();

inline constexpr wchar_t kThemeFolder[] = L"themes\\default";
inline constexpr wchar_t kLanguageFolder[] = L"lang\\zh_CN";
