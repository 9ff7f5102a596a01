// What every drive model shares: the sense format, INQUIRY data and its
// allocation length, REQUEST SENSE, and the drive that answers INQUIRY only.
#include <gtest/gtest.h>

#include "tests/drives/drive_host.h"

namespace kelvaro {
namespace {

using test::DriveHost;
using test::InquiryCdb;
using test::Outcome;
using test::RequestSenseCdb;
using test::TextOf;

TEST(SenseData, IsFixedFormat) {
  const auto sense = emu::SenseData(0x05, 0x24, 0x01);
  std::array<std::uint8_t, 18> expected{};
  expected[0] = 0x70;
  expected[2] = 0x05;
  expected[7] = 10;
  expected[12] = 0x24;
  expected[13] = 0x01;
  EXPECT_EQ(sense, expected);
}

TEST(Inquiry, TransfersTheLeastOfBufferDataAndAllocation) {
  emu::DriveSpec config;
  const struct {
    std::uint32_t buffer;
    std::uint8_t allocation;
    std::uint32_t transferred;
  } cases[] = {{96, 96, 96}, {255, 255, 96}, {96, 36, 36}, {20, 96, 20}, {96, 0, 0}};
  for (const auto& c : cases) {
    DriveHost host(config);
    const auto r = host.In(InquiryCdb(c.allocation), c.buffer);
    EXPECT_EQ(Outcome(r.reply), "good");
    EXPECT_EQ(r.reply.transferred, c.transferred) << c.buffer << " " << int{c.allocation};
  }
}

TEST(RequestSense, ReturnsTheLastFailureOnceThenNoSense) {
  emu::DriveSpec config;
  DriveHost host(config);
  EXPECT_EQ(Outcome(host.None({0x00, 0, 0, 0, 0, 0})), "02/3A/00");  // no disc
  EXPECT_EQ(Outcome(host.In(InquiryCdb(), 96).reply), "good");       // success keeps it

  const auto first = host.In(RequestSenseCdb(), 18);
  EXPECT_EQ(Outcome(first.reply), "good");
  ASSERT_EQ(first.data.size(), 18u);
  const auto kept = emu::SenseData(0x02, 0x3A, 0x00);
  EXPECT_EQ(first.data, test::Bytes(kept.begin(), kept.end()));

  const auto second = host.In(RequestSenseCdb(), 18);
  const auto none = emu::SenseData(0, 0, 0);
  EXPECT_EQ(second.data, test::Bytes(none.begin(), none.end()));

  EXPECT_EQ(host.In(RequestSenseCdb(8), 18).reply.transferred, 8u);
}

TEST(OtherDrive, AnswersInquiryAsGivenAndNothingElse) {
  emu::DriveSpec config;
  config.kind = emu::DriveKind::kOther;
  config.at.text = "E:";
  config.type = 0x05;
  config.vendor = "ACME    ";
  config.product = "CD-RW X1        ";
  config.revision = "2.00";
  config.rev5 = "b";
  config.date = "2004/01/02";
  DriveHost host(config);

  const auto inquiry = host.In(InquiryCdb(), 96);
  ASSERT_EQ(inquiry.data.size(), 96u);
  EXPECT_EQ(inquiry.data[0], 0x05);
  EXPECT_EQ(inquiry.data[1], 0x80);
  EXPECT_EQ(inquiry.data[4], 91);
  EXPECT_EQ(TextOf(inquiry.data, 8, 29), "ACME    CD-RW X1        2.00b");
  EXPECT_EQ(TextOf(inquiry.data, 37, 10), "2004/01/02");
  EXPECT_EQ(inquiry.data[47], 0);

  for (const test::Bytes& cdb :
       {test::Bytes{0x00, 0, 0, 0, 0, 0}, RequestSenseCdb(), test::WriteBufferCdb(4, 0xFF, 0, 0)}) {
    EXPECT_EQ(Outcome(host.None(cdb)), "05/20/00") << int{cdb[0]};
  }
  const auto state = host.State();
  EXPECT_EQ(state.at, "E:");
  EXPECT_EQ(state.mode, "normal");
  EXPECT_EQ(state.revision, "2.00");
  EXPECT_EQ(state.date, "2004/01/02");
  EXPECT_FALSE(state.rom_sha256 || state.normal_sha256 || state.trailer_hex);
}

}  // namespace
}  // namespace kelvaro
