#include "core/dvdrom/rom_checks.h"

#include <cstdio>
#include <cstring>

#include "core/access_layer.h"
#include "core/buffers.h"
#include "core/catalogue/catalogue.h"
#include "core/command/command_set.h"
#include "core/command/request.h"
#include "core/definition/definition.h"
#include "core/drive/chk_inq.h"
#include "core/drive/drive_data.h"
#include "core/dvdrom/hex_loader.h"
#include "core/dvdrom/rom_signatures.h"
#include "core/dvdrw/drive_state.h"
#include "core/run/run_state.h"

namespace kelvaro {

unsigned char gRomModel[16];
unsigned char gRomCpu[16];

namespace {

constexpr int kMsgNoDriveInfo = 0;
constexpr int kMsgAlreadyLatest = 4;
constexpr int kMsgInquiryFailed = 9;
constexpr int kMsgBadFile = 40;
constexpr int kMsgNotSupported = 49;
constexpr int kMsgModelMismatch = 64;
constexpr int kMsgCpuMismatch = 65;

constexpr char kNotRecognised[] = "Not recognize   ";
constexpr char kVendorWord[] = "QUORLEN ";

bool Same(const void* a, const void* b, std::size_t n) {
  return std::memcmp(a, b, n) == 0;
}

void Take(const unsigned char* model, const unsigned char* cpu) {
  std::memcpy(gRomModel, model, 16);
  std::memcpy(gRomCpu, cpu, 16);
}

int ReportRomError() {
  char line[48];
  if (GetErrInfo() == 0) {
    std::snprintf(line, sizeof line,
                  gDosEdition ? "\nError Code : %06lx" : "\r\nError Code : %06lx",
                  static_cast<unsigned long>(gErr));
  } else {
    std::snprintf(
        line, sizeof line,
        gDosEdition ? "\nRequest Sense Command Failed." : "\r\nRequest Sense Command Failed.");
  }
  PrintText(line);
  return -1;
}

// The length of the CPU-type text: its characters before the first zero.
std::size_t RefCpuLength() {
  std::size_t n = 0;
  while (n < sizeof gRefCpu && gRefCpu[n] != 0) ++n;
  return n;
}

void SetFwVer() {
  gFwVer = static_cast<std::uint16_t>(DefinitionVersion());
}

}  // namespace

unsigned DefinitionVersion() {
  if (Same(gRevision, "0000", 4)) return 0;
  const auto digit = [](char c) { return static_cast<unsigned>(c - '0'); };
  const unsigned high = digit(gRevision[0]) & 0xFF;
  const unsigned low = (digit(gRevision[2]) * 16 + digit(gRevision[3])) & 0xFF;
  return high << 8 | low;
}

int GetDrvInfRom() {
  // The identity lies at one of three places, depending on the firmware.
  if (RomXfer(0x1000, 64, pBuff) != 0) return ReportRomError();
  if (Same(pBuff, kVendorWord, 8)) {
    Take(pBuff, pBuff + 16);
    return 0;
  }
  if (Same(pBuff + 16, kVendorWord, 8)) {
    Take(pBuff + 16, pBuff + 32);
    return 0;
  }
  if (RomXfer(0x1C000, 64, pBuff) != 0) return ReportRomError();
  if (Same(pBuff + 16, kVendorWord, 8)) {
    Take(pBuff + 16, pBuff + 32);
    return 0;
  }
  if (RomXfer(0x1F000, 32, pBuff) != 0) return ReportRomError();
  if (Same(pBuff, sigModelA, 16) || Same(pBuff, sigModelB, 16) || Same(pBuff, sigModelC, 16)) {
    Take(pBuff, pBuff + 16);
    return 0;
  }
  std::memcpy(gRomModel, kNotRecognised, 16);
  std::memcpy(gRomCpu, kNotRecognised, 16);
  return ReportRomError();
}

int ChkDrvFirm2() {
  int result = Inquiry(gDevId, gInq);
  if (result != 0) {
    if (gDosEdition) {
      PrintText("\nInquiry command was failed.");
    } else {
      ShowMsgId(kMsgInquiryFailed, kStyleError);
    }
    SetFwVer();
    return result;
  }
  if (GetDrvInfRom() != 0) {
    if (gDosEdition) {
      PrintText("\nFailed to get a drive information.");
    } else {
      ShowMsgId(kMsgNoDriveInfo, kStyleError);
    }
    SetFwVer();
    return -1;
  }
  const int row = ChkInq(gInq);
  if (row != -1) SelectDefRow(row);
  SetFwVer();
  return 0;
}

int ChkCurFirm2() {
  if (!Same(gVender, gInq + 8, 8) || !Same(gProductId, gInq + 16, 16)) {
    ShowMsgId(kMsgNotSupported, kStyleConsole);
    return -1;
  }
  if (DefinitionVersion() <= gVer) {
    ShowMsgId(kMsgAlreadyLatest, kStyleConsole);
    return 1;
  }

  // What the ROM and the image must carry, by model code.
  const unsigned char* rom_model = reinterpret_cast<const unsigned char*>(gEnterKey);
  const unsigned char* rom_cpu = reinterpret_cast<const unsigned char*>(gRefCpu);
  std::size_t rom_cpu_length = RefCpuLength();
  std::size_t image_model_at = 0x1000, image_cpu_at = 0x1010, image_length = 16;
  switch (gModel) {
    case 9:
    case 11:
      rom_model = gModel == 9 ? sigModelA : sigModelB;
      rom_cpu = sigCpu;
      rom_cpu_length = 16;
      image_model_at = 0x1F000;
      image_cpu_at = 0x1F010;
      break;
    case 8:
      image_model_at = 0x1010;
      image_cpu_at = 0x1020;
      image_length = 12;
      break;
    case 10:
      rom_cpu_length = 12;
      image_model_at = 0x1C010;
      image_cpu_at = 0x1C020;
      image_length = 12;
      break;
    default:
      break;
  }

  if (!Same(gRomModel, rom_model, 16)) {
    ShowMsgId(kMsgModelMismatch, kStyleConsole);
    return -1;
  }
  if (!Same(gRomCpu, rom_cpu, rom_cpu_length)) {
    ShowMsgId(kMsgCpuMismatch, kStyleConsole);
    return -1;
  }
  if (!Same(pText + image_model_at, rom_model, image_length)) {
    ShowMsgId(kMsgModelMismatch, kStyleConsole);
    if (gDosEdition && gModel != 9 && gModel != 11) {
      char line[48];
      std::snprintf(line, sizeof line, "\n%.16s : %.16s",
                    reinterpret_cast<const char*>(pText + image_model_at), gEnterKey);
      PrintText(line);
    }
    return -1;
  }
  if (!Same(pText + image_cpu_at, rom_cpu, image_length)) {
    ShowMsgId(kMsgBadFile, kStyleConsole);
    return -1;
  }
  SetFwVer();
  return 0;
}

void ResetDvdromState() {
  std::memset(gRomModel, 0, sizeof gRomModel);
  std::memset(gRomCpu, 0, sizeof gRomCpu);
  gPatchLoaded = 0;
}

}  // namespace kelvaro
