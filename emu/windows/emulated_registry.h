// The emulated registry: the keys and values a scenario gives, under
// HKEY_LOCAL_MACHINE and HKEY_DYN_DATA.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "emu/scenario/scenario.h"
#include "win32/win32_api.h"

namespace kelvaro::emu {

class EmulatedRegistry {
 public:
  explicit EmulatedRegistry(const Registry& registry);

  long Open(win32::Hkey root, const char* sub_key, win32::Hkey* result);
  long Close(win32::Hkey key);
  long QueryInfo(win32::Hkey key, win32::Dword* sub_keys);
  long EnumKey(win32::Hkey key, win32::Dword index, char* name, win32::Dword* name_length);
  long QueryValue(win32::Hkey key, const char* value_name, win32::Dword* type, unsigned char* data,
                  win32::Dword* data_length);

  std::size_t open_keys() const { return open_.size(); }

 private:
  struct Key {
    std::string path;  // as written, e.g. "HKLM\SOFTWARE\INTEL"
    std::map<std::string, RegistryValue> values;
  };
  const Key* Find(win32::Hkey handle) const;
  std::vector<std::string> SubKeys(const Key& key) const;

  std::map<std::string, Key> keys_;             // lower-case path -> key
  std::map<std::uintptr_t, std::string> open_;  // handle -> lower-case path
  std::uintptr_t next_handle_ = 0x2000;
};

}  // namespace kelvaro::emu
