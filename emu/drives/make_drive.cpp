// The drive a scenario describes, wrapped in its injected faults.
#include <algorithm>
#include <cctype>
#include <memory>

#include "emu/drives/drive_model.h"
#include "emu/drives/dvdrom_drive.h"
#include "emu/drives/dvdrw_drive.h"
#include "emu/drives/fault_injector.h"
#include "emu/drives/intel_hex_image.h"
#include "emu/drives/other_drive.h"

namespace kelvaro::emu {
namespace {

constexpr std::size_t kBlankRomSize = 128 * 1024;

bool HasHexExtension(const std::string& name) {
  if (name.size() < 4) return false;
  std::string extension = name.substr(name.size() - 4);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
  return extension == ".hex";
}

// The ROM at power-on: the named file (binary, or Intel HEX by its name), else
// erased flash; `rom_size` cuts it or pads it with erased bytes.
Bytes InitialRom(const DriveSpec& config, const std::map<std::string, Bytes>& files) {
  Bytes rom(kBlankRomSize, 0xFF);
  if (config.rom) {
    const auto file = files.find(*config.rom);
    if (file != files.end())
      rom = HasHexExtension(*config.rom) ? ReadIntelHex(file->second) : file->second;
  }
  if (config.rom_size) rom.resize(*config.rom_size, 0xFF);
  return rom;
}

std::unique_ptr<EmulatedDrive> MakeModel(const DriveSpec& config,
                                         const std::map<std::string, Bytes>& files) {
  switch (config.kind) {
    case DriveKind::kDvdrw:
      return std::make_unique<DvdrwDrive>(config);
    case DriveKind::kDvdrom:
      return std::make_unique<DvdromDrive>(config, InitialRom(config, files));
    case DriveKind::kOther:
      break;
  }
  return std::make_unique<OtherDrive>(config);
}

}  // namespace

std::unique_ptr<DriveModel> MakeDrive(const DriveSpec& config,
                                      const std::map<std::string, Bytes>& files) {
  std::unique_ptr<EmulatedDrive> model = MakeModel(config, files);
  if (config.faults.empty()) return model;
  return std::make_unique<FaultInjector>(std::move(model), config.faults);
}

}  // namespace kelvaro::emu
