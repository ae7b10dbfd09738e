#pragma once

#include <cstdint>
#include <string>

#include "ui/render/geometry.h"

namespace ui::attribute_value {

// Readers of skin attribute values. Keywords are matched exactly and
// case-sensitively; numbers are read leniently, unreadable text giving 0.

// True only for the text "true".
bool ReadBool(const std::wstring& value);

// Leading blanks, an optional sign and digits, like _wtoi; saturates.
int32_t ReadInt(const std::wstring& value);

// Integers separated by any single character: each number after the first
// is read from the character after the one that ended the previous number;
// missing numbers read 0.
void ReadInts(const std::wstring& value, int32_t* numbers, size_t count);

UiPadding ReadPadding(const std::wstring& value);
UiSize ReadSize(const std::wstring& value);
UiPoint ReadPoint(const std::wstring& value);

// "stretch" gives kStretch, "auto" kAuto, anything else a number.
int32_t ReadLength(const std::wstring& value);

// The value without its leading characters of codes 1 to 32.
std::wstring SkipLeadingBlanks(const std::wstring& value);

}  // namespace ui::attribute_value
