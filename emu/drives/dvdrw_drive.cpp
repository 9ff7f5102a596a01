#include "emu/drives/dvdrw_drive.h"

#include <array>

#include "emu/drives/inquiry_data.h"

namespace kelvaro::emu {
namespace {

constexpr std::uint8_t kInfoBufferId = 0xF1;
constexpr std::size_t kInfoBlockSize = 0x30;
constexpr std::uint8_t kNormalPartBufferId = 0xF0;
constexpr std::uint8_t kKernelPartBufferId = 0xFE;
constexpr std::uint8_t kControlBufferId = 0xFF;
constexpr std::uint8_t kModeEnterKernel = 4;
constexpr std::uint8_t kModeReflash = 5;
constexpr std::uint8_t kModePiece = 7;
constexpr std::uint8_t kRpcStateFormat = 8;
constexpr std::uint32_t kKernelPartSize = 0x20000;

// Texts in a received part; bytes the part does not reach read as spaces.
std::string TextAt(const Bytes& part, std::size_t at, std::size_t width) {
  std::string text(width, ' ');
  for (std::size_t i = 0; i < width && at + i < part.size(); ++i) {
    text[i] = static_cast<char>(part[at + i]);
  }
  return text;
}

template <std::size_t N>
void PutText(std::array<std::uint8_t, N>& block, std::size_t at, const std::string& text) {
  for (std::size_t i = 0; i < text.size() && at + i < N; ++i) {
    block[at + i] = static_cast<std::uint8_t>(text[i]);
  }
}

bool IsPiece(const Command& c) {
  return c.Opcode() == kOpWriteBuffer && c.BufferMode() == kModePiece &&
         (c.BufferId() == kNormalPartBufferId || c.BufferId() == kKernelPartBufferId);
}

}  // namespace

DvdrwDrive::DvdrwDrive(const DriveSpec& config)
    : config_(config),
      kernel_(config.kernel_mode),
      disc_(config.disc),
      unit_attentions_(config.unit_attentions),
      stay_in_kernel_(config.stay_in_kernel) {}

CommandReply DvdrwDrive::Run(const Command& c) {
  switch (c.Opcode()) {
    case kOpTestUnitReady:
      return TestUnitReady();
    case kOpRequestSense:
      return RequestSense(c);
    case kOpInquiry:
      return InquiryReply(c, config_, Revision(), Date());
    case kOpStartStopUnit:
      return StartStopUnit(c);
    case kOpWriteBuffer:
      return WriteBuffer(c);
    case kOpReadBuffer:
      return ReadBuffer(c);
    case kOpReportKey:
      return ReportKey(c);
    default:
      return CheckCondition(kInvalidOpcode);
  }
}

CommandReply DvdrwDrive::TestUnitReady() {
  if (unit_attentions_ > 0) {
    --unit_attentions_;
    return CheckCondition({0x06, 0x29, 0x00});  // power on or reset occurred
  }
  switch (disc_) {
    case DiscState::kReady:
      return Good();
    case DiscState::kBecomingReady:
      return CheckCondition({0x02, 0x04, 0x01});
    case DiscState::kNotReady0402:
      return CheckCondition({0x02, 0x04, 0x02});
    case DiscState::kNone:
      break;
  }
  return CheckCondition({0x02, 0x3A, 0x00});  // medium not present
}

CommandReply DvdrwDrive::StartStopUnit(const Command& c) {
  const bool load_eject = (c.Byte(4) & 0x02) != 0;
  const bool start = (c.Byte(4) & 0x01) != 0;
  if (load_eject && !start) disc_ = DiscState::kNone;
  return Good();
}

CommandReply DvdrwDrive::ReadBuffer(const Command& c) {
  if (c.BufferMode() != 2 || c.BufferId() != kInfoBufferId) return CheckCondition(kInvalidField);
  std::array<std::uint8_t, kInfoBlockSize> block{};
  PutText(block, 0x10, config_.hw);
  PutText(block, 0x18, config_.kernel_oem);
  // The kernel does not know which normal firmware it will boot.
  PutText(block, 0x20, kernel_ ? std::string(8, ' ') : config_.normal_oem);
  return DataIn(c, block.data(), block.size(), c.BufferLength());
}

CommandReply DvdrwDrive::ReportKey(const Command& c) {
  if ((c.Byte(10) & 0x3F) != kRpcStateFormat) return CheckCondition(kInvalidField);
  const std::array<std::uint8_t, 8> rpc_state = {
      0x00, 0x06, 0x00, 0x00, 0x00, 0xFE, config_.rpc_scheme, 0x00};
  return DataIn(c, rpc_state.data(), rpc_state.size(), c.Field(8, 2));
}

CommandReply DvdrwDrive::WriteBuffer(const Command& c) {
  switch (c.BufferMode()) {
    case kModeEnterKernel:
      if (c.BufferId() != kControlBufferId) return CheckCondition(kInvalidField);
      EnterKernel();
      return Good();
    case kModeReflash:
      if (c.BufferId() != kControlBufferId) return CheckCondition(kInvalidField);
      if (!kernel_) return CheckCondition(kSequenceError);
      Reflash();
      return Good();
    case kModePiece: {
      if (!IsPiece(c)) return CheckCondition(kInvalidField);
      if (!kernel_) return CheckCondition(kSequenceError);
      StagedPart& part = c.BufferId() == kNormalPartBufferId ? normal_part_ : kernel_part_;
      part.Store(c.BufferOffset(), c.data, c.OutLength());
      return Good();
    }
    default:
      return CheckCondition(kInvalidField);
  }
}

void DvdrwDrive::EnterKernel() {
  kernel_ = true;
  ClearStaged();
  piece_failed_ = false;
}

void DvdrwDrive::Reflash() {
  if (stay_in_kernel_ > 0) {
    --stay_in_kernel_;
    ClearStaged();
    return;
  }
  if (!piece_failed_) {
    if (kernel_part_.WholeSize() == kKernelPartSize) {
      const Bytes& part = kernel_part_.bytes();
      config_.kernel_revision = TextAt(part, 0x150, 4);
      config_.kernel_date = TextAt(part, 0x130, 8);
      config_.kernel_oem = TextAt(part, 0xD0, 8);
      kernel_sha256_ = Sha256Hex(part.data(), kKernelPartSize);
    }
    if (const auto size = normal_part_.WholeSize()) {
      const Bytes& part = normal_part_.bytes();
      config_.revision = TextAt(part, 0x90, 4);
      config_.date = TextAt(part, 0x130, 8);
      config_.normal_oem = TextAt(part, 0xF0, 8);
      normal_size_ = *size;
      normal_sha256_ = Sha256Hex(part.data(), *size);
      kernel_ = false;
    }
  }
  ClearStaged();
}

void DvdrwDrive::ClearStaged() {
  normal_part_.Clear();
  kernel_part_.Clear();
}

void DvdrwDrive::NoteFailedCommand(const Command& c) {
  if (IsPiece(c)) piece_failed_ = true;
}

void DvdrwDrive::PowerLoss() {
  // Whatever the drive was doing, it boots into its kernel with nothing
  // received.
  EnterKernel();
}

DriveRecord DvdrwDrive::State() const {
  DriveRecord r;
  r.at = config_.at.text;
  r.mode = kernel_ ? "kernel" : "normal";
  r.revision = Revision();
  r.date = Date();
  r.normal_size = normal_size_;
  r.normal_sha256 = normal_sha256_;
  r.kernel_sha256 = kernel_sha256_;
  return r;
}

}  // namespace kelvaro::emu
