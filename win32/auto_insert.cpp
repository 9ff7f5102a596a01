// The AutoInsertNotification check of IEEE 1394 drives on Windows 9x: a drive
// that notifies Windows of every disc change must not be flashed, so the
// program sums the setting over the drive instances that are present.
#include <cstdio>
#include <cstring>

#include "core/catalogue/catalogue.h"
#include "core/platform_flags.h"
#include "win32/startup.h"
#include "win32/win32_state.h"

namespace kelvaro::win32 {
namespace {

constexpr char kDriveKey[] = "Enum\\SCSI\\QUORLEN_DVD-RW__QRX-A30_0";  // 35 characters
constexpr std::size_t kDriveKeyLength = 35;
constexpr char kInstancePrefix[] = "SBP2&KORU&MXTA-QRW";
constexpr std::size_t kInstancePrefixLength = 18;
constexpr char kPresenceList[] = "Config Manager\\Enum";

void PrintError(const char* format, long code) {
  char line[80];
  std::snprintf(line, sizeof line, format, static_cast<unsigned long>(code));
  PrintText(line);
}

}  // namespace

bool InstancePresent(const char* instance) {
  Hkey list = nullptr;
  if (Os().RegOpenKeyExA(HkeyDynData(), kPresenceList, 0, kKeyAllAccess, &list) != 0) return false;
  Dword count = 0;
  long last = Os().RegQueryInfoKeyA(list, &count);
  if (last != 0) {
    PrintError("\r\nRegQueryInfoKey Error : %08lxh", last);
    Os().RegCloseKey(list);
    return false;
  }
  for (long index = static_cast<long>(count) - 1;
       index >= 0 && last != static_cast<long>(kErrorNoMoreItems); --index) {
    char name[256] = {};
    Dword name_length = sizeof name;
    last = Os().RegEnumKeyExA(list, static_cast<Dword>(index), name, &name_length);
    if (last != 0) continue;

    char path[300];
    std::snprintf(path, sizeof path, "Config Manager\\Enum\\%s", name);
    Hkey entry = nullptr;
    last = Os().RegOpenKeyExA(HkeyDynData(), path, 0, kKeyAllAccess, &entry);
    if (last != 0) {
      PrintError("\r\nRegOpenKeyEx Error (Config Mahager): %08lxh", last);
      continue;
    }
    char value[1024] = {};
    Dword value_length = sizeof value - 1;
    Dword type = 0;
    last = Os().RegQueryValueExA(entry, "HardWareKey", &type,
                                 reinterpret_cast<unsigned char*>(value), &value_length);
    Os().RegCloseKey(entry);
    if (last != 0) {
      PrintError("\r\nRegQueryValueEx Error : %08lxh", last);
      Os().RegCloseKey(list);
      return false;
    }
    if (value_length > sizeof value - 1) value_length = sizeof value - 1;
    // A hardware key SBP2\VENDOR&MODEL\... reads as the instance name once its
    // two separators are '&'.
    if (std::strncmp(value, "SBP2", 4) == 0) {
      value[4] = '&';
      value[24] = '&';
    }
    if (value_length >= 1 && std::strncmp(value, instance, value_length - 1) == 0) {
      Os().RegCloseKey(list);
      return true;
    }
  }
  Os().RegCloseKey(list);
  return false;
}

long AutoInsertCheck() {
  char key[kDriveKeyLength + 1];
  std::memcpy(key, kDriveKey, kDriveKeyLength + 1);
  key[kDriveKeyLength - 1] = static_cast<char>('0' + gIEEE);

  Hkey drive = nullptr;
  long last = Os().RegOpenKeyExA(HkeyLocalMachine(), key, 0, kKeyAllAccess, &drive);
  if (last != 0) return last;
  Dword count = 0;
  last = Os().RegQueryInfoKeyA(drive, &count);
  if (last != 0) {
    PrintError("\r\nRegQueryInfoKey Error : %08lxh", last);
    Os().RegCloseKey(drive);
    return last;
  }
  for (long index = static_cast<long>(count) - 1;
       index >= 0 && last != static_cast<long>(kErrorNoMoreItems); --index) {
    char name[256] = {};
    Dword name_length = sizeof name;
    last = Os().RegEnumKeyExA(drive, static_cast<Dword>(index), name, &name_length);
    if (last != 0 || std::strncmp(name, kInstancePrefix, kInstancePrefixLength) != 0) continue;

    char child_path[300];
    std::snprintf(child_path, sizeof child_path, "%.35s\\%s", key, name);
    Hkey child = nullptr;
    last = Os().RegOpenKeyExA(HkeyLocalMachine(), child_path, 0, kKeyAllAccess, &child);
    if (last != 0) {
      PrintError("\r\nRegOpenKeyEx Error : %08lxh", last);
      Os().RegCloseKey(drive);
      return last;
    }
    if (InstancePresent(name)) {
      unsigned char notify = 0;
      Dword length = 1;
      Dword type = 0;
      last = Os().RegQueryValueExA(child, "AutoInsertNotification", &type, &notify, &length);
      if (last != 0) {
        PrintError("\r\nRegQueryValueEx Error : %08lxh", last);
        Os().RegCloseKey(child);
        Os().RegCloseKey(drive);
        return last;
      }
      gAutoIns = static_cast<std::uint8_t>(gAutoIns + notify);
    }
    Os().RegCloseKey(child);
  }
  Os().RegCloseKey(drive);
  return 0;
}

}  // namespace kelvaro::win32
