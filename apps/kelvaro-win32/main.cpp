// kelvaro.exe: the Win32 edition on the real Windows. Arguments are ignored.
#include "win32/real/real_win32_api.h"
#include "win32/win32_edition.h"

int main() {
  kelvaro::win32::RealWin32Api api;
  return kelvaro::win32::RunWin32Program(api);
}
