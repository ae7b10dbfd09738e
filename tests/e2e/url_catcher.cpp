// Stands in for the system's default browser during the player tests: the
// tests make it the "open" command of http addresses, and it appends the
// address it was given to the file named by QEL_URL_CATCHER_FILE.
#include <windows.h>

#include <cstdio>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR command_line, int) {
  wchar_t path[MAX_PATH] = {};
  if (!GetEnvironmentVariableW(L"QEL_URL_CATCHER_FILE", path, MAX_PATH))
    return 1;
  FILE* file = _wfopen(path, L"a, ccs=UTF-8");
  if (!file)
    return 1;
  fwprintf(file, L"%ls\n", command_line);
  fclose(file);
  return 0;
}
