#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ui::test {

// A folder below the temporary folder, made for this test run and removed
// at its end; ends with a separator.
const std::wstring& TestFolder();

// Writes |bytes| to |name| in the test folder; returns the full path.
std::wstring WriteTestFile(const std::wstring& name, const std::vector<uint8_t>& bytes);

// A 24-bit BMP of |width| x |height| pixels of one colour (0xRRGGBB) in the
// test folder; returns its full path.
std::wstring WriteBmp(const std::wstring& name, int32_t width, int32_t height, uint32_t rgb);

}  // namespace ui::test
