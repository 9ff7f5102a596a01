#include "core/definition/definition.h"

#include <cstdio>
#include <cstring>

namespace kelvaro {

char gFwFileA[kDefRows][128];
char gOemStr[kOemStrRows][16];
char gVenderA[kDefRows][8];
char gProductIdA[kDefRows][16];
char gEnterKeyA[kDefRows][64];
char gRevisionA[kDefRows][4];
char gRefCpuA[kDefRows][8];
int gUpgTypeA[kDefRows];
std::int32_t gFwSizeA[kDefRows];
int gModelA[kDefRows];
int gCautionA[kDefRows];
std::uint32_t gRelDateA[kDefRows];

int gRefNum;
std::uint8_t gSelOemStr;
std::uint16_t gFwVer;

char gFwFile[128];
char gEnterKey[128];
char gVender[16];
char gProductId[16];
char gRevision[4];
char gRefCpu[16];
int gUpgType;
std::int32_t gFwSize;
int gModel;
int gCaution;

namespace {

void ClearSelectedRow() {
  std::memset(gFwFile, 0, sizeof gFwFile);
  std::memset(gEnterKey, 0, sizeof gEnterKey);
  std::memset(gVender, 0, sizeof gVender);
  std::memset(gProductId, 0, sizeof gProductId);
  std::memset(gRevision, 0, sizeof gRevision);
  std::memset(gRefCpu, 0, sizeof gRefCpu);
  gUpgType = 0;
  gFwSize = 0;
  gModel = 0;
  gCaution = 0;
}

void ClearRows() {
  std::memset(gFwFileA, 0, sizeof gFwFileA);
  std::memset(gOemStr, 0, sizeof gOemStr);
  std::memset(gVenderA, 0, sizeof gVenderA);
  std::memset(gProductIdA, 0, sizeof gProductIdA);
  std::memset(gEnterKeyA, 0, sizeof gEnterKeyA);
  std::memset(gRevisionA, 0, sizeof gRevisionA);
  std::memset(gRefCpuA, 0, sizeof gRefCpuA);
  std::memset(gUpgTypeA, 0, sizeof gUpgTypeA);
  std::memset(gFwSizeA, 0, sizeof gFwSizeA);
  std::memset(gModelA, 0, sizeof gModelA);
  std::memset(gCautionA, 0, sizeof gCautionA);
  std::memset(gRelDateA, 0, sizeof gRelDateA);
}

// Copies a text field up to its first zero byte, at most `src_width` bytes,
// and zeroes the rest of the destination field.
template <std::size_t DstWidth, std::size_t SrcWidth>
void CopyText(char (&dst)[DstWidth], const char (&src)[SrcWidth]) {
  static_assert(DstWidth >= SrcWidth);
  std::memset(dst, 0, DstWidth);
  for (std::size_t i = 0; i < SrcWidth && src[i] != 0; ++i) dst[i] = src[i];
}

const std::vector<DefRow>* gOverride = nullptr;

template <std::size_t Width>
void PutText(char (&dst)[Width], const std::string& text) {
  std::memcpy(dst, text.data(), text.size() < Width ? text.size() : Width);
}

int FillOverride(const std::vector<DefRow>& rows) {
  int n = 0;
  for (const DefRow& row : rows) {
    if (n == kDefRows) break;
    PutText(gFwFileA[n], row.file.substr(0, sizeof gFwFileA[n] - 1));
    PutText(gOemStr[n], row.oem);
    PutText(gVenderA[n], row.vendor);
    PutText(gProductIdA[n], row.product);
    PutText(gEnterKeyA[n], row.enter_key);
    PutText(gRevisionA[n], row.revision);
    PutText(gRefCpuA[n], row.ref_cpu);
    gUpgTypeA[n] = row.upg_type;
    gFwSizeA[n] = row.fw_size;
    gModelA[n] = row.model;
    gCautionA[n] = row.caution;
    gRelDateA[n] = row.rel_date;
    ++n;
  }
  gRefNum = n;
  return n;
}

}  // namespace

void FormatReleaseFileName(char (&name)[128], std::uint16_t version) {
  std::snprintf(name, sizeof name, "R5508771.%03x", static_cast<unsigned>(version));
}

void SetDefinitionOverride(const std::vector<DefRow>* rows) {
  gOverride = rows;
}

int SetDefData() {
  ClearSelectedRow();
  ClearRows();
  gFwVer = 0x119;
  if (gOverride != nullptr) return FillOverride(*gOverride);

  FormatReleaseFileName(gFwFileA[0], gFwVer);
  std::memcpy(gOemStr[0], "GENERAL ", 8);
  std::memcpy(gVenderA[0], "QUORLEN ", 8);
  std::memcpy(gProductIdA[0], "DVD-RW  QRX-B10 ", 16);
  gUpgTypeA[0] = 1;
  gFwSizeA[0] = 0x200000;
  gModelA[0] = 0x100B;
  gCautionA[0] = 0;
  gRelDateA[0] = 0x20051201;

  gRefNum = 1;
  return gRefNum;
}

void SelectDefRow(int row) {
  gSelOemStr = static_cast<std::uint8_t>(row);
  CopyText(gFwFile, gFwFileA[row]);
  CopyText(gEnterKey, gEnterKeyA[row]);
  CopyText(gVender, gVenderA[row]);
  CopyText(gProductId, gProductIdA[row]);
  CopyText(gRevision, gRevisionA[row]);
  CopyText(gRefCpu, gRefCpuA[row]);
  gUpgType = gUpgTypeA[row];
  gFwSize = gFwSizeA[row];
  gModel = gModelA[row];
  gCaution = gCautionA[row];
}

void ResetDefinition() {
  ClearSelectedRow();
  ClearRows();
  gRefNum = 0;
  gSelOemStr = 0;
  gFwVer = 0;
}

}  // namespace kelvaro
