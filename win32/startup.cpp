#include "win32/startup.h"

#include <cstring>

#include "core/buffers.h"
#include "core/catalogue/catalogue.h"
#include "core/command/request.h"
#include "core/platform_flags.h"
#include "win32/enumeration.h"
#include "win32/win32_state.h"

namespace kelvaro::win32 {
namespace {

constexpr std::size_t kWorkBufferSize = 0x200000;
constexpr std::size_t kImageBufferNt = 0x800000;
constexpr std::size_t kParamBufferNt = 512;
constexpr std::size_t kAspiBlockSize = 0x200000;

constexpr int kMsgIntelDriver = 48;
constexpr int kMsgIeee1394 = 52;

constexpr char kIntelAccelerator[] = "SOFTWARE\\INTEL\\Intel Application Accelerator";
constexpr char kIntelUltraAta[] = "SOFTWARE\\INTEL\\Intel Ultra ATA Storage Driver";

// A zero-filled block locked for the whole run; its handle is kept for
// EndCmdApi. Null when Windows has no memory for it.
unsigned char* TakeBlock(std::size_t size, Handle& memory) {
  memory = Os().GlobalAlloc(kGmemZeroinit, size);
  if (memory == nullptr) return nullptr;
  return static_cast<unsigned char*>(Os().GlobalLock(memory));
}

void FreeBlock(Handle& memory) {
  if (memory == nullptr) return;
  Os().GlobalUnlock(memory);
  Os().GlobalFree(memory);
  memory = nullptr;
}

bool KeyExists(const char* path) {
  Hkey key = nullptr;
  if (Os().RegOpenKeyExA(HkeyLocalMachine(), path, 0, kKeyRead, &key) != 0) return false;
  Os().RegCloseKey(key);
  return true;
}

int PassThroughStartUp() {
  gTimeout = 1000;
  gIntel = 0;
  gPathId = gTargetId = gLun = 0;
  if (KeyExists(kIntelAccelerator)) ShowMsgId(kMsgIntelDriver, kStyleConsole);
  if (KeyExists(kIntelUltraAta)) {
    gIntel = 1;
    ShowMsgId(kMsgIntelDriver, kStyleConsole);
  }
  if ((pBuff = TakeBlock(kWorkBufferSize, gBuffMem)) == nullptr) return -1;
  gBuffSize = kWorkBufferSize;
  if ((pText = TakeBlock(kImageBufferNt, gTextMem)) == nullptr) return -1;
  gTextSize = kImageBufferNt;
  if ((pParam = TakeBlock(kParamBufferNt, gParamMem)) == nullptr) return -1;
  return 0;
}

bool IdentifierIs(const std::uint8_t* id, const char* eight) {
  return std::memcmp(id, eight, 8) == 0;
}

// The IEEE 1394 (SBP-2) adapter's port driver names itself so, or not at all.
bool IsIeee1394Adapter(const std::uint8_t* id) {
  static const std::uint8_t kZeros[8] = {};
  return IdentifierIs(id, "NTMAPHLP") || IdentifierIs(id, "ntmaphlp") ||
         IdentifierIs(id, "        ") || std::memcmp(id, kZeros, 8) == 0;
}

int AspiStartUp() {
  gTimeout = 1000;
  gIntel = 0;
  gIEEE = -1;
  unsigned char* srb_memory = nullptr;
  if ((pBuff = TakeBlock(kAspiBlockSize, gBuffMem)) == nullptr) return -1;
  gBuffSize = kAspiBlockSize;
  if ((srb_memory = TakeBlock(kAspiBlockSize, gSrbMem)) == nullptr) return -1;
  gSrb = reinterpret_cast<SrbExecScsiCmd*>(srb_memory);
  if ((pText = TakeBlock(kAspiBlockSize, gTextMem)) == nullptr) return -1;
  gTextSize = kAspiBlockSize;
  if ((pParam = TakeBlock(kAspiBlockSize, gParamMem)) == nullptr) return -1;

  gAspiModule = Os().LoadLibraryA("WNASPI32.DLL");
  if (gAspiModule == nullptr) return 1;
  gGetASPI32SupportInfo = Os().GetProcAddressByOrdinal(gAspiModule, 1);
  gSendASPI32Command = Os().GetProcAddressByOrdinal(gAspiModule, 2);
  // A library without both entries cannot be called: the same as none.
  if (gGetASPI32SupportInfo == nullptr || gSendASPI32Command == nullptr) return 1;

  const Dword support = Os().CallGetASPI32SupportInfo(gGetASPI32SupportInfo);
  if (((support >> 8) & 0xFF) == kSsFailedInit) return 2;
  gHaCount = static_cast<std::uint8_t>(support & 0xFF);
  if (gHaCount == 0) return 3;

  auto* inquiry = TakeBlock(gHaCount * sizeof(SrbHaInquiry), gHaInquiryMem);
  if (inquiry == nullptr) return -1;
  gHaInquiry = reinterpret_cast<SrbHaInquiry*>(inquiry);

  // gHaName has room for 16 adapters; adapters beyond them are not used.
  const int named = gHaCount < kHaNameRows ? gHaCount : kHaNameRows;
  for (int i = 0; i < named; ++i) {
    SrbHaInquiry& block = gHaInquiry[i];
    block.SRB_Cmd = kScHaInquiry;
    block.SRB_HaId = static_cast<std::uint8_t>(i);
    Os().CallSendASPI32Command(gSendASPI32Command, &block);
    std::memcpy(gHaName[i], block.HA_Identifier, sizeof block.HA_Identifier);
    if (IdentifierIs(gHaName[i], "intelata")) {
      if (gIntel == 0) ShowMsgId(kMsgIntelDriver, kStyleConsole);
      gIntel = 1;
    } else if (IsIeee1394Adapter(gHaName[i])) {
      gIEEE = i;
      ShowMsgId(kMsgIeee1394, kStyleConsole);
    }
  }
  if (gIEEE != -1) AutoInsertCheck();
  return 0;
}

}  // namespace

int Win32InitCmdApi() {
  gTimeout = 1000;
  OsVersionInfoA version{};
  version.dwOSVersionInfoSize = sizeof version;
  gIf = 0;
  if (Os().GetVersionExA(&version)) {
    // Windows 95, 98 and Me reach the drives through ASPI; the NT family, and
    // anything else, through the pass-through.
    if (version.dwPlatformId == kVerPlatformWin32Windows &&
        (version.dwMinorVersion == 0 || version.dwMinorVersion == 10 ||
         version.dwMinorVersion == 90)) {
      gIf = 1;
    }
  }
  gStartUpResult = gIf == 1 ? AspiStartUp() : PassThroughStartUp();
  return gStartUpResult;
}

void Win32EndCmdApi() {
  if (gIf == 0) {
    ReleaseMediaChangeControl();
    FreeBlock(gParamMem);
    FreeBlock(gTextMem);
    FreeBlock(gBuffMem);
  } else {
    FreeBlock(gParamMem);
    FreeBlock(gTextMem);
    FreeBlock(gSrbMem);
    FreeBlock(gBuffMem);
    if (gHaCount != 0) FreeBlock(gHaInquiryMem);
  }
  pParam = pText = pBuff = nullptr;
  gTextSize = 0;
  gBuffSize = 0;
  gSrb = nullptr;
  gHaInquiry = nullptr;
}

}  // namespace kelvaro::win32
