// The command set: every byte of each CDB, the direction, length and
// time-out of each request, and the edition's rules.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/buffers.h"
#include "core/command/command_set.h"
#include "core/command/request.h"
#include "core/drive/drive_data.h"
#include "core/platform_flags.h"
#include "core/run/run_state.h"
#include "tests/support/fake_access_layer.h"

namespace kelvaro {
namespace {

using test::FakeAccessLayer;

std::string Cdb(const TagCmdIrp& irp) {
  std::string hex;
  char byte[3];
  for (int i = 0; i < irp.CdbLen; ++i) {
    std::snprintf(byte, sizeof byte, "%02x", irp.Cdb[i]);
    hex += byte;
  }
  return hex;
}

struct Expected {
  const char* cdb;
  int dir;
  std::uint32_t length;
  std::uint32_t timeout;
};

void ExpectRequest(const TagCmdIrp& irp, const Expected& e) {
  EXPECT_EQ(Cdb(irp), e.cdb);
  EXPECT_EQ(irp.XferDir, e.dir) << e.cdb;
  EXPECT_EQ(irp.XferLen, e.length) << e.cdb;
  EXPECT_EQ(irp.TimeOut, e.timeout) << e.cdb;
  for (int i = irp.CdbLen; i < 16; ++i) EXPECT_EQ(irp.Cdb[i], 0) << e.cdb << " byte " << i;
}

class CommandSetTest : public testing::Test {
 protected:
  CommandSetTest() {
    pBuff = buffer_;
    gDevId = 0;
    gIEEE = -1;
    gTimeout = 1234;
  }
  ~CommandSetTest() override { pBuff = nullptr; }
  const TagCmdIrp& Last() { return fake_.requests.back(); }

  FakeAccessLayer fake_;
  std::uint8_t buffer_[0x10000] = {};
};

TEST_F(CommandSetTest, WrappersPackTheirCdbs) {
  std::uint8_t data[0x8000] = {};
  TestUnitReady(0);
  ExpectRequest(Last(), {"000000000000", kXferNone, 0, 1234});
  StartStopUnit(0, 0, 0, 1, 0);  // eject
  ExpectRequest(Last(), {"1b0000000200", kXferNone, 0, 1234});
  StartStopUnit(0, 3, 0, 0, 1);  // the immed value goes into byte 1 unchanged
  ExpectRequest(Last(), {"1b0300000100", kXferNone, 0, 1234});
  StartStopUnit(0, 0, 2, 1, 1);
  ExpectRequest(Last(), {"1b0000002300", kXferNone, 0, 1234});
  ReadBuffer(0, 2, 0xF1, 0, 0x30, data);
  ExpectRequest(Last(), {"3c02f100000000003000", kXferIn, 0x30, 1234});
  WriteBuffer(0, 4, 0xFF, 0, 256, data);
  ExpectRequest(Last(), {"3b04ff00000000010000", kXferOut, 256, 1234});
  WriteBuffer(0, 7, 0xF0, 0x1000000 + 0x18000, 0x18000, data);  // offset and length wrap
  ExpectRequest(Last(), {"3b07f001800000800000", kXferOut, 0x18000, 1234});
  ReportKey(0, 0, 8, 1, 8, data);
  ExpectRequest(Last(), {"a40000000000000000084800", kXferIn, 8, 1234});
  EXPECT_EQ(Last().pXferBuf, data);
}

TEST_F(CommandSetTest, NamedStepsSetTheirTimeouts) {
  std::uint8_t data[0x8000] = {};
  EntExtMode();
  ExpectRequest(Last(), {"3b013000000000000000", kXferNone, 0, 1000});
  gTimeout = 30000;
  ExecUpdate();
  ExpectRequest(Last(), {"3b014200000000000000", kXferNone, 0, 30000});
  HexXfer(0x1F000, 0x8000, data);
  ExpectRequest(Last(), {"3b01ff01f00000800000", kXferOut, 0x8000, 30000});
  RomXfer(0x1C000, 64, data);
  ExpectRequest(Last(), {"3c018001c00000004000", kXferIn, 64, 5000});
  DownloadKernel(0x18000, 0x8000, data);
  ExpectRequest(Last(), {"3b07fe01800000800000", kXferOut, 0x8000, 10000});
  DownloadNormal(0x1F8000, 0x8000, data);
  ExpectRequest(Last(), {"3b07f01f800000800000", kXferOut, 0x8000, 10000});
  DiscStop();
  ExpectRequest(Last(), {"1b0000000000", kXferNone, 0, 0});
  EXPECT_EQ(gTimeout, 0u);
  GetDrvRgn();
  ExpectRequest(Last(), {"a40000000000000000080800", kXferIn, 8, 0});
  EXPECT_EQ(Last().pXferBuf, gRgn);
}

TEST_F(CommandSetTest, InquiryTimeoutFollowsTheIeee1394Drive) {
  std::uint8_t inq[96];
  Inquiry(0, inq);
  ExpectRequest(Last(), {"120000006000", kXferIn, 96, 5000});
  gIEEE = 0;
  InqCmd(0, inq);
  ExpectRequest(Last(), {"120000006000", kXferIn, 96, 1000});
}

TEST_F(CommandSetTest, ReflashOfTheIeee1394DriveOnPassThroughGetsTheDefaultTimeout) {
  std::uint8_t param[256] = {};
  gIf = 0;
  gIEEE = 0;  // the current drive is the 1394 drive
  WriteBuffer(0, 5, 0xFF, 0, 256, param);
  EXPECT_EQ(Last().TimeOut, 0u);
  WriteBuffer(0, 4, 0xFF, 0, 256, param);
  EXPECT_EQ(Last().TimeOut, 1234u);
  gIf = 1;  // not on ASPI
  WriteBuffer(0, 5, 0xFF, 0, 256, param);
  EXPECT_EQ(Last().TimeOut, 1234u);
}

TEST_F(CommandSetTest, RequestSenseOnWindowsSendsNothing) {
  std::uint8_t sense[18];
  std::memset(sense, 0xAA, sizeof sense);
  EXPECT_EQ(RequestSense(0, sense), 0);
  EXPECT_TRUE(fake_.requests.empty());
  EXPECT_EQ(sense[0], 0xAA);
}

TEST_F(CommandSetTest, DosEditionRules) {
  gDosEdition = 1;
  std::uint8_t buf[96];
  RequestSense(0, buf);
  ExpectRequest(Last(), {"030000001200", kXferIn, 18, 1234});
  Inquiry(0, buf);
  EXPECT_EQ(Last().TimeOut, 0u);
  InqCmd(0, buf);
  EXPECT_EQ(Last().TimeOut, 1234u);
  RdSigDos(0, buf);
  ExpectRequest(Last(), {"3c02f100000000003000", kXferIn, 48, 0});
}

TEST_F(CommandSetTest, RegionCheckRefusesAnyRpcSchemeButOne) {
  for (int scheme : {0, 1, 2}) {
    fake_.on_exec = [&](TagCmdIrp& irp) {
      static_cast<std::uint8_t*>(irp.pXferBuf)[6] = static_cast<std::uint8_t>(scheme);
      return 0;
    };
    EXPECT_EQ(GetDrvRgn(), scheme == 1 ? 0 : -1) << scheme;
  }
  fake_.on_exec = [](TagCmdIrp&) { return 2; };
  EXPECT_EQ(GetDrvRgn(), 2);  // a failed command keeps its own result
}

}  // namespace
}  // namespace kelvaro
