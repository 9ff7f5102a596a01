// One command to a drive: the request record that the command set fills and
// the edition's transport carries out, the table of target drives, and the
// sense and status state a failed command leaves behind.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kelvaro {

// Transfer directions of a request.
inline constexpr int kXferNone = 0;
inline constexpr int kXferIn = 1;   // drive to host
inline constexpr int kXferOut = 2;  // host to drive

struct TagCmdIrp {
  int DevId;              // index into drvid (Win32), IDE position (DOS)
  int XferDir;            // kXferNone, kXferIn, kXferOut
  int CdbLen;             // 6, 10 or 12
  std::uint32_t TimeOut;  // milliseconds; 0 selects the transport's default
  std::uint32_t XferLen;  // data bytes
  void* pXferBuf;         // caller's data buffer of at least XferLen bytes
  std::uint8_t Cdb[16];   // bytes beyond CdbLen are zero
};

// The layout of the 32-bit program that ships, and of the 64-bit test build.
static_assert(offsetof(TagCmdIrp, DevId) == 0);
static_assert(offsetof(TagCmdIrp, XferDir) == 4);
static_assert(offsetof(TagCmdIrp, CdbLen) == 8);
static_assert(offsetof(TagCmdIrp, TimeOut) == 12);
static_assert(offsetof(TagCmdIrp, XferLen) == 16);
static_assert(sizeof(void*) == 4 ? offsetof(TagCmdIrp, pXferBuf) == 20
                                 : offsetof(TagCmdIrp, pXferBuf) == 24);
static_assert(sizeof(void*) == 4 ? offsetof(TagCmdIrp, Cdb) == 24 : offsetof(TagCmdIrp, Cdb) == 32);
static_assert(sizeof(TagCmdIrp) == (sizeof(void*) == 4 ? 40u : 48u));

// One target drive as enumeration found it.
struct DrvId {
  int HaId;    // ASPI host adapter number
  int Target;  // ASPI target id (LUN 0)
  char Drive;  // drive letter 'D' to 'Z' (pass-through)
};
static_assert(sizeof(DrvId) == 12);

inline constexpr int kMaxDrives = 256;

extern DrvId drvid[kMaxDrives];

extern std::uint8_t gSns[64];   // fixed-format sense data of the last failed command
extern std::uint32_t gErr;      // sense-key byte << 16 | ASC << 8 | ASCQ
extern int gStatus;             // outcome of the last pass-through command, 0 or 2
extern std::uint32_t gTimeout;  // ms the command set gives the next command
extern int gNoWait;             // 1: the next ASPI command returns once sent

void ResetCommandState();

}  // namespace kelvaro
