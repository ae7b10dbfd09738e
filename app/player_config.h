#pragma once

#include <string>

// The player's two identifiers from "config.ini" beside the program.
struct PlayerConfig {
  std::wstring uid;
  std::wstring file_name;
};

// Reads the section "vynt" (keys "uid" and "filename") of the INI file at
// |ini_path|; a missing file, section or key gives an empty value and a
// value longer than 255 characters is cut to 255.
PlayerConfig ReadPlayerConfig(const std::wstring& ini_path);

// "config.ini" in the folder of the process's main module.
std::wstring PlayerConfigPath();
