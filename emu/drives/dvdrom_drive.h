// The QUORLEN DVD-ROM reader. Its firmware ROM can be read back (READ BUFFER
// mode 1 buffer 80h) and rewritten in an update mode: WRITE BUFFER mode 1
// buffer 30h enters it, buffer FFh sends a block, buffer 42h re-flashes the
// received blocks into the ROM and ends it.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "emu/drives/emulated_drive.h"

namespace kelvaro::emu {

class DvdromDrive : public EmulatedDrive {
 public:
  DvdromDrive(const DriveSpec& config, Bytes rom);

  DriveRecord State() const override;
  void PowerLoss() override;

 protected:
  CommandReply Run(const Command& c) override;

 private:
  CommandReply ReadBuffer(const Command& c);
  CommandReply WriteBuffer(const Command& c);
  void StoreBlock(std::uint32_t offset, const std::uint8_t* bytes, std::uint32_t size);
  void Reflash();
  void EnterUpdateMode();
  void LeaveUpdateMode();

  DriveSpec config_;
  Bytes rom_;
  std::string revision_;
  bool update_mode_ = false;
  // Blocks received in the update mode, byte by byte, for the re-flash.
  Bytes staged_;
  std::vector<bool> is_staged_;
  // Bytes received beyond the ROM's end, by offset. They never reach the ROM;
  // the report shows them.
  std::map<std::uint32_t, std::uint8_t> trailer_;
};

}  // namespace kelvaro::emu
