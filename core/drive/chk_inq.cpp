#include "core/drive/chk_inq.h"

#include <cstring>

#include "core/definition/definition.h"
#include "core/drive/drive_data.h"

namespace kelvaro {
namespace {

// Two models are targets of every row, whatever the row's vendor and product.
constexpr char kAlwaysTargetA[] = "QUORLEN DVD-RW  QRX-B10 ";
constexpr char kAlwaysTargetB[] = "QUORLEN DVD-RW  QRX-B10D";
constexpr char kBlankMark[] = "        ";

bool Same(const void* a, const void* b, std::size_t n) {
  return std::memcmp(a, b, n) == 0;
}

std::uint16_t VersionOf(const std::uint8_t* rev) {
  // "1.06" and "A106" both read as 0x0106.
  const unsigned high = static_cast<unsigned>(rev[0] == 'A' ? rev[1] - '0' : rev[0] - '0') & 0xFF;
  const unsigned low = static_cast<unsigned>((rev[2] - '0') * 16 + (rev[3] - '0')) & 0xFF;
  return static_cast<std::uint16_t>((high << 8) | low);
}

}  // namespace

int ChkInq(const std::uint8_t* inq) {
  gCurVer = VersionOf(inq + 32);

  for (int i = 0; i < gRefNum; ++i) {
    const bool candidate = (Same(inq + 8, gVenderA[i], 8) && Same(inq + 16, gProductIdA[i], 16)) ||
                           Same(inq + 8, kAlwaysTargetA, 24) || Same(inq + 8, kAlwaysTargetB, 24);
    if (!candidate) continue;

    if ((gModelA[i] & 0xFF00) != kFamilyDvdrw) return i;

    // A DVD-RW row applies to firmware carrying its OEM mark: the normal
    // part's, or the kernel's while the normal mark is blank (the drive runs
    // its kernel).
    if (Same(gRwInfo + 32, gOemStr[i], 8)) return i;
    if (Same(gRwInfo + 32, kBlankMark, 8) && Same(gRwInfo + 24, gOemStr[i], 8)) {
      gKernel = 1;
      return i;
    }
  }
  return -1;
}

}  // namespace kelvaro
