#include "emu/drives/inquiry_data.h"

#include <array>
#include <cstdint>

namespace kelvaro::emu {
namespace {

void PutText(std::array<std::uint8_t, kInquiryDataSize>& data, std::size_t at,
             const std::string& text, std::size_t width) {
  for (std::size_t i = 0; i < width && i < text.size() && at + i < data.size(); ++i) {
    data[at + i] = static_cast<std::uint8_t>(text[i]);
  }
}

}  // namespace

CommandReply InquiryReply(const Command& c, const DriveSpec& config, const std::string& revision,
                          const std::string& date) {
  std::array<std::uint8_t, kInquiryDataSize> data{};
  data[0] = config.type;
  data[1] = 0x80;  // removable medium
  data[3] = 0x02;  // response data format
  data[4] = static_cast<std::uint8_t>(kInquiryDataSize - 5);
  PutText(data, 8, config.vendor, 8);
  PutText(data, 16, config.product, 16);
  PutText(data, 32, revision, 4);
  PutText(data, 36, config.rev5, 1);
  PutText(data, 37, date, 10);
  return DataIn(c, data.data(), data.size(), c.Byte(4));
}

}  // namespace kelvaro::emu
