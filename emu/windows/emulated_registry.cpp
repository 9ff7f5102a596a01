#include "emu/windows/emulated_registry.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

namespace kelvaro::emu {
namespace {

constexpr long kErrorFileNotFound = 2;
constexpr long kErrorInvalidHandle = 6;
constexpr long kErrorMoreData = 234;
constexpr long kErrorNoMoreItems = 259;

constexpr win32::Dword kRegSz = 1;
constexpr win32::Dword kRegBinary = 3;
constexpr win32::Dword kRegDword = 4;

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string RootName(win32::Hkey root) {
  if (root == win32::HkeyLocalMachine()) return "HKLM";
  if (root == win32::HkeyDynData()) return "HKDD";
  return "";
}

}  // namespace

EmulatedRegistry::EmulatedRegistry(const Registry& registry) {
  for (const auto& [path, values] : registry) {
    // A key makes its parents exist too.
    for (std::size_t pos = path.find('\\'); pos != std::string::npos;
         pos = path.find('\\', pos + 1)) {
      const std::string parent = path.substr(0, pos);
      keys_.try_emplace(Lower(parent), Key{parent, {}});
    }
    Key& key = keys_.try_emplace(Lower(path), Key{path, {}}).first->second;
    for (const auto& [name, value] : values) key.values[Lower(name)] = value;
  }
}

const EmulatedRegistry::Key* EmulatedRegistry::Find(win32::Hkey handle) const {
  auto it = open_.find(reinterpret_cast<std::uintptr_t>(handle));
  if (it == open_.end()) return nullptr;
  auto key = keys_.find(it->second);
  return key == keys_.end() ? nullptr : &key->second;
}

long EmulatedRegistry::Open(win32::Hkey root, const char* sub_key, win32::Hkey* result) {
  std::string base = RootName(root);
  if (base.empty()) {
    const Key* key = Find(root);
    if (key == nullptr) return kErrorInvalidHandle;
    base = key->path;
  }
  std::string path = base;
  if (sub_key != nullptr && sub_key[0] != '\0') path += std::string("\\") + sub_key;
  const std::string lower = Lower(path);
  if (keys_.count(lower) == 0) return kErrorFileNotFound;
  const std::uintptr_t handle = next_handle_;
  next_handle_ += 4;
  open_[handle] = lower;
  *result = reinterpret_cast<win32::Hkey>(handle);
  return 0;
}

long EmulatedRegistry::Close(win32::Hkey key) {
  return open_.erase(reinterpret_cast<std::uintptr_t>(key)) == 1 ? 0 : kErrorInvalidHandle;
}

// The names of the direct subkeys of `key`, in Windows' order (by name).
std::vector<std::string> EmulatedRegistry::SubKeys(const Key& key) const {
  std::vector<std::string> names;
  const std::string prefix = Lower(key.path) + "\\";
  for (const auto& [lower, item] : keys_) {
    if (lower.rfind(prefix, 0) == 0 && lower.find('\\', prefix.size()) == std::string::npos) {
      names.push_back(item.path.substr(prefix.size()));
    }
  }
  return names;
}

long EmulatedRegistry::QueryInfo(win32::Hkey key, win32::Dword* sub_keys) {
  const Key* k = Find(key);
  if (k == nullptr) return kErrorInvalidHandle;
  *sub_keys = static_cast<win32::Dword>(SubKeys(*k).size());
  return 0;
}

long EmulatedRegistry::EnumKey(win32::Hkey key, win32::Dword index, char* name,
                               win32::Dword* name_length) {
  const Key* k = Find(key);
  if (k == nullptr) return kErrorInvalidHandle;
  const std::vector<std::string> names = SubKeys(*k);
  if (index >= names.size()) return kErrorNoMoreItems;
  const std::string& n = names[index];
  if (n.size() + 1 > *name_length) return kErrorMoreData;
  std::memcpy(name, n.c_str(), n.size() + 1);
  *name_length = static_cast<win32::Dword>(n.size());
  return 0;
}

long EmulatedRegistry::QueryValue(win32::Hkey key, const char* value_name, win32::Dword* type,
                                  unsigned char* data, win32::Dword* data_length) {
  const Key* k = Find(key);
  if (k == nullptr) return kErrorInvalidHandle;
  auto it = k->values.find(Lower(value_name != nullptr ? value_name : ""));
  if (it == k->values.end()) return kErrorFileNotFound;
  const RegistryValue& v = it->second;

  std::vector<unsigned char> bytes;
  win32::Dword value_type = kRegSz;
  if (v.is_text) {
    bytes.assign(v.text.begin(), v.text.end());
    bytes.push_back(0);
  } else if (v.number <= 0xFF) {
    // Small numbers are one-byte binary values, as Windows 9x keeps its
    // device flags.
    value_type = kRegBinary;
    bytes.push_back(static_cast<unsigned char>(v.number));
  } else {
    value_type = kRegDword;
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<unsigned char>(v.number >> (8 * i)));
  }
  if (type != nullptr) *type = value_type;
  if (data_length == nullptr) return 87;  // ERROR_INVALID_PARAMETER
  const auto size = static_cast<win32::Dword>(bytes.size());
  if (data != nullptr && *data_length < size) {
    *data_length = size;
    return kErrorMoreData;
  }
  if (data != nullptr) std::memcpy(data, bytes.data(), bytes.size());
  *data_length = size;
  return 0;
}

}  // namespace kelvaro::emu
