#pragma once

// A plain window standing in for the launcher until the skinned windows
// exist: it shows the class name as its text and ends the loop on close.
void ShowPlaceholderWindow(const wchar_t* class_name);
