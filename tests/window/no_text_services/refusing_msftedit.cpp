// A Rich Edit library whose text services refuse to be created, placed as
// "msftedit50.dll" beside the test program that needs it.

#include <windows.h>

#include <unknwn.h>

extern "C" __declspec(dllexport) HRESULT WINAPI
    CreateTextServices(IUnknown* /*outer*/, void* /*host*/, IUnknown** services) {
  if (services)
    *services = nullptr;
  return E_OUTOFMEMORY;
}
