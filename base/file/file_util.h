#pragma once

#include "base/util/string_util.h"

namespace kbase {

// The folder part of a path, up to and including its last "\" or "/".
// False for paths shorter than two characters and paths without a
// separator.
bool DirectoryPart(Utf16StringView path, Utf16String* directory);

#if defined(_WIN32)

// The folder of the module (program or library) this code is linked into,
// with its trailing separator; empty when it cannot be read.
std::wstring ModuleDirectory();

// Creates a folder and every missing folder above it. True when the folder
// exists afterwards (also when it existed before).
bool CreateDirectoryTree(const wchar_t* path);

#endif

}  // namespace kbase
