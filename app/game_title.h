#pragma once

#include <windows.h>

#include <optional>
#include <string>

// The game window's title from the game address: its two title parts
// (GameTitleParts), each decoded to bytes (TitlePartBytes) and read in the
// given code page, joined by "-". Nothing when the address has no "|".
std::optional<std::wstring> GameTitleFromUrl(const std::wstring& url, UINT code_page = CP_ACP);

// One part's decoding: its bytes (TitlePartBytes) read in the code page.
std::wstring DecodeTitlePart(const std::wstring& part, UINT code_page);
