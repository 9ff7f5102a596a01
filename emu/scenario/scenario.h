// A scenario: the emulated PC that kelvaro-emu runs the program on. The JSON
// form is described in docs/scenario-format.md.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/definition/definition.h"

namespace kelvaro::emu {

using Bytes = std::vector<std::uint8_t>;

struct OsSpec {
  std::string name = "winxp";  // as written, or "custom" for the object form
  bool dos = false;
  unsigned platform = 2;
  unsigned major = 5;
  unsigned minor = 1;
};

struct RegistryValue {
  bool is_text = false;
  std::uint32_t number = 0;
  std::string text;
};

// Key path ("HKLM\..." or "HKDD\...") -> value name -> value.
using Registry = std::map<std::string, std::map<std::string, RegistryValue>>;

struct AspiSpec {
  bool dll = false;
  bool init_failed = false;
  std::vector<std::array<std::uint8_t, 16>> adapters;  // HA_Identifier of each
};

enum class FaultReply { kCheckCondition, kTimeout, kPowerLoss };

struct FaultSpec {
  Bytes cdb_prefix;
  std::optional<std::uint32_t> offset;  // must equal the CDB's 24-bit buffer offset
  int nth = 1;                          // first matching command that fails, 1-based
  int count = 1;                        // how many fail from there; 0 all
  FaultReply reply = FaultReply::kCheckCondition;
  std::array<std::uint8_t, 3> sense = {0x04, 0x00, 0x00};
};

enum class DriveKind { kDvdrw, kDvdrom, kOther };
enum class DiscState { kNone, kReady, kBecomingReady, kNotReady0402 };

// Where a drive is attached.
struct DriveAddress {
  enum class Kind { kLetter, kAspi, kIde } kind = Kind::kLetter;
  char letter = 'D';  // kLetter
  int adapter = 0;    // kAspi
  int target = 0;     // kAspi
  int position = 0;   // kIde: 0 primary master .. 3 secondary slave
  std::string text;   // as written in the scenario
};

struct DriveSpec {
  DriveAddress at;
  DriveKind kind = DriveKind::kDvdrw;
  std::uint8_t type = 5;
  std::string vendor = "QUORLEN ";           // 8
  std::string product = "DVD-RW  QRX-B10 ";  // 16
  std::string revision = "1.10";             // 4
  std::string rev5 = " ";                    // 1
  std::string date = "05/10/20";             // 8 or 10
  std::string hw = "REV 0102";               // 8
  std::string kernel_oem = "GENERAL ";       // 8
  std::string normal_oem = "GENERAL ";       // 8
  std::string kernel_revision = "0005";      // 4
  std::string kernel_date = "05/06/01";      // 8
  bool kernel_mode = false;
  std::uint8_t rpc_scheme = 1;
  DiscState disc = DiscState::kNone;
  int unit_attentions = 0;
  int stay_in_kernel = 0;
  std::optional<std::string> rom;  // name of a file in `files`
  std::optional<std::uint32_t> rom_revision_offset;
  std::uint32_t reflash_ms = 8000;
  std::optional<std::uint32_t> rom_size;
  bool ieee1394 = false;  // on an IEEE 1394 (SBP-2) bus: no SCSI address on Windows NT
  // On an IDE position: how long each phase of a command keeps BSY set, in
  // microseconds, and whether the drive sends each data-in phase as one block
  // whatever byte count limit the host gave.
  std::uint32_t ide_busy_us = 100;
  bool ide_ignores_limit = false;
  std::vector<FaultSpec> faults;
};

struct Scenario {
  OsSpec os;
  unsigned codepage = 437;
  std::map<std::string, Bytes> files;                // current directory: name -> content
  std::map<std::string, std::uint32_t> read_errors;  // name -> offset where reading fails
  Registry registry;
  std::optional<AspiSpec> aspi;  // absent: no ASPI DLL
  std::vector<DriveSpec> drives;
  std::vector<int> answers;
  std::optional<std::vector<DefRow>> definition;
  bool dos_alloc_fails = false;
  int global_alloc_fails = 0;  // the n-th GlobalAlloc of the run fails; 0 none
};

}  // namespace kelvaro::emu
