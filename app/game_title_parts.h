#pragma once

#include <optional>
#include <string>
#include <utility>

// The two parts of the game address that name the game window: the text
// after the address's first "|", split at the next "|" (the rest, further
// bars and all, is the second part); a single part stands for both.
// Nothing when the address has no "|".
std::optional<std::pair<std::wstring, std::wstring>> GameTitleParts(const std::wstring& url);

// One part's bytes: the low 8 bits of each unit, "%XY" to one byte, other
// bytes (a "+" too) copied; a "%" without two hex digits stays a "%".
std::string TitlePartBytes(const std::wstring& part);
