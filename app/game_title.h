#pragma once

#include <windows.h>

#include <optional>
#include <string>

// The game window's title from the game address: the two parts after its
// first "|" (split at the next "|"; a single part stands for both), each
// percent-decoded from the low bytes of its characters and read in the
// given code page, joined by "-". Nothing when the address has no "|".
std::optional<std::wstring> GameTitleFromUrl(const std::wstring& url, UINT code_page = CP_ACP);

// One part's decoding: low 8 bits of each unit, "%XY" to one byte, other
// bytes (a "+" too) copied; a "%" without two hex digits stays a "%".
std::wstring DecodeTitlePart(const std::wstring& part, UINT code_page);
