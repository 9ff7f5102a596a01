// The records the Win32 transports exchange with Windows and with the ASPI
// manager, as this program defines them. The sizes and offsets asserted for
// the 32-bit program are those of the records on the wire; the 64-bit build
// has the natural layout of its architecture.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kelvaro::win32 {

inline constexpr bool k32Bit = sizeof(void*) == 4;

// The SCSI pass-through direct request of the NT family.
struct ScsiPassThroughDirect {
  std::uint16_t Length;
  std::uint8_t ScsiStatus;
  std::uint8_t PathId;
  std::uint8_t TargetId;
  std::uint8_t Lun;
  std::uint8_t CdbLength;
  std::uint8_t SenseInfoLength;
  std::uint8_t DataIn;
  std::uint32_t DataTransferLength;
  std::uint32_t TimeOutValue;  // seconds
  void* DataBuffer;
  std::uint32_t SenseInfoOffset;
  std::uint8_t Cdb[16];
};

inline constexpr std::uint8_t kScsiIoctlDataOut = 0;
inline constexpr std::uint8_t kScsiIoctlDataIn = 1;
inline constexpr std::uint8_t kScsiIoctlDataUnspecified = 2;

// The pass-through request with its sense buffer behind it.
struct PassThroughRecord {
  ScsiPassThroughDirect sptd;
  std::uint32_t Filler;
  std::uint8_t SenseBuf[32];
};

static_assert(offsetof(ScsiPassThroughDirect, ScsiStatus) == 2);
static_assert(offsetof(ScsiPassThroughDirect, DataIn) == 8);
static_assert(offsetof(ScsiPassThroughDirect, DataTransferLength) == 12);
static_assert(offsetof(ScsiPassThroughDirect, TimeOutValue) == 16);
static_assert(offsetof(ScsiPassThroughDirect, DataBuffer) == (k32Bit ? 20u : 24u));
static_assert(offsetof(ScsiPassThroughDirect, SenseInfoOffset) == (k32Bit ? 24u : 32u));
static_assert(offsetof(ScsiPassThroughDirect, Cdb) == (k32Bit ? 28u : 36u));
static_assert(sizeof(ScsiPassThroughDirect) == (k32Bit ? 44u : 56u));
static_assert(offsetof(PassThroughRecord, SenseBuf) == (k32Bit ? 48u : 60u));
static_assert(sizeof(PassThroughRecord) == (k32Bit ? 80u : 96u));

// IOCTL_SCSI_GET_ADDRESS output.
struct ScsiAddress {
  std::uint32_t Length;
  std::uint8_t PortNumber;
  std::uint8_t PathId;
  std::uint8_t TargetId;
  std::uint8_t Lun;
};
static_assert(sizeof(ScsiAddress) == 8 && offsetof(ScsiAddress, PathId) == 5);

// IOCTL_SCSI_GET_CAPABILITIES output.
struct IoScsiCapabilities {
  std::uint32_t Length;
  std::uint32_t MaximumTransferLength;
  std::uint32_t MaximumPhysicalPages;
  std::uint32_t SupportedAsynchronousEvents;
  std::uint32_t AlignmentMask;
  std::uint8_t TaggedQueuing;
  std::uint8_t AdapterScansDown;
  std::uint8_t AdapterUsesPio;
};
static_assert(sizeof(IoScsiCapabilities) == 24);

// ASPI for Win32 request blocks.
inline constexpr std::uint8_t kScHaInquiry = 0x00;
inline constexpr std::uint8_t kScExecScsiCmd = 0x02;

inline constexpr std::uint8_t kSsPending = 0x00;
inline constexpr std::uint8_t kSsComp = 0x01;
inline constexpr std::uint8_t kSsAborted = 0x02;
inline constexpr std::uint8_t kSsErr = 0x04;
inline constexpr std::uint8_t kSsInvalidHa = 0x81;
inline constexpr std::uint8_t kSsNoDevice = 0x82;
inline constexpr std::uint8_t kSsFailedInit = 0xE4;

inline constexpr std::uint8_t kSrbDirIn = 0x08;
inline constexpr std::uint8_t kSrbDirOut = 0x10;
inline constexpr std::uint8_t kSrbEventNotify = 0x40;

inline constexpr std::uint8_t kHaStatTimeout = 0x09;  // the host adapter gave up

struct SrbHaInquiry {
  std::uint8_t SRB_Cmd;
  std::uint8_t SRB_Status;
  std::uint8_t SRB_HaId;
  std::uint8_t SRB_Flags;
  std::uint32_t SRB_Hdr_Rsvd;
  std::uint8_t HA_Count;
  std::uint8_t HA_SCSI_ID;
  std::uint8_t HA_ManagerId[16];
  std::uint8_t HA_Identifier[16];
  std::uint8_t HA_Unique[16];
  std::uint16_t HA_Rsvd1;
};
static_assert(sizeof(SrbHaInquiry) == 60);
static_assert(offsetof(SrbHaInquiry, HA_Identifier) == 26);

struct SrbExecScsiCmd {
  std::uint8_t SRB_Cmd;
  std::uint8_t SRB_Status;
  std::uint8_t SRB_HaId;
  std::uint8_t SRB_Flags;
  std::uint32_t SRB_Hdr_Rsvd;
  std::uint8_t SRB_Target;
  std::uint8_t SRB_Lun;
  std::uint16_t SRB_Rsvd1;
  std::uint32_t SRB_BufLen;
  std::uint8_t* SRB_BufPointer;
  std::uint8_t SRB_SenseLen;
  std::uint8_t SRB_CDBLen;
  std::uint8_t SRB_HaStat;
  std::uint8_t SRB_TargStat;
  void* SRB_PostProc;  // the completion event in event mode
  std::uint8_t SRB_Rsvd2[20];
  std::uint8_t CDBByte[16];
  std::uint8_t SenseArea[20];  // 18 sense bytes are asked for
};
static_assert(offsetof(SrbExecScsiCmd, SRB_Target) == 8);
static_assert(offsetof(SrbExecScsiCmd, SRB_BufLen) == 12);
static_assert(offsetof(SrbExecScsiCmd, SRB_BufPointer) == 16);
static_assert(offsetof(SrbExecScsiCmd, SRB_SenseLen) == (k32Bit ? 20u : 24u));
static_assert(offsetof(SrbExecScsiCmd, SRB_PostProc) == (k32Bit ? 24u : 32u));
static_assert(offsetof(SrbExecScsiCmd, CDBByte) == (k32Bit ? 48u : 60u));
static_assert(offsetof(SrbExecScsiCmd, SenseArea) == (k32Bit ? 64u : 76u));
static_assert(sizeof(SrbExecScsiCmd) == (k32Bit ? 84u : 96u));

}  // namespace kelvaro::win32
