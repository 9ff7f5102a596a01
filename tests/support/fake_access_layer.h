// An access layer for tests of the shared modules alone: it keeps the console
// bytes and the boxes, answers questions from a list, and reports as many
// drives as the test asks for without any transport behind them.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/access_layer.h"
#include "core/command/request.h"
#include "core/core_state.h"
#include "core/run/run_state.h"

namespace kelvaro::test {

struct FakeBox {
  std::string text;
  std::string caption;
  unsigned flags;
};

class FakeAccessLayer final : public AccessLayer {
 public:
  FakeAccessLayer() {
    ResetCoreState();
    gAccess = this;
  }
  ~FakeAccessLayer() override { gAccess = nullptr; }

  void WriteConsole(const char* bytes, std::size_t length) override {
    console.append(bytes, length);
  }
  int MessageBox(const char* text, const char* caption, unsigned flags) override {
    boxes.push_back({text, caption, flags});
    if (next_answer < answers.size()) return answers[next_answer++];
    return 1;
  }
  int GetOemCodePage() override { return code_page; }
  int ReadWholeFile(const char*, unsigned char*, std::uint32_t, std::uint32_t*) override {
    return kFileUnreadable;
  }
  int ReadFilePart(const char*, std::uint32_t, std::uint32_t, unsigned char*,
                   std::uint32_t*) override {
    return kFileUnreadable;
  }
  int OpenTextFile(const char*) override { return 2; }
  int ReadTextLine(char*, int) override { return kTextEnd; }
  void CloseTextFile() override {}

  int InitCmdApi() override {
    ++init_calls;
    return 0;
  }
  void EndCmdApi() override { ++end_calls; }
  int EnumDevice() override {
    gDevn = drives;
    return drives;
  }
  int ExecCmdApi(TagCmdIrp* irp) override {
    requests.push_back(*irp);
    return on_exec ? on_exec(*irp) : -1;
  }
  int GetErrInfo() override { return 0; }
  int ChkCmdEnd() override { return 0; }
  void GetStartTime() override {}
  std::uint32_t ReportTime() override { return 0; }
  void EndTime() override {}
  void WaitTime(long ms) override { waited_ms += ms; }
  void Sleep(std::uint32_t ms) override { waited_ms += static_cast<long>(ms); }

  // What the test sets.
  int code_page = 437;
  int drives = 0;
  std::vector<int> answers;
  std::function<int(TagCmdIrp&)> on_exec;  // answers each request; none: -1

  // What the code under test did.
  std::string console;
  std::vector<FakeBox> boxes;
  int init_calls = 0;
  int end_calls = 0;
  long waited_ms = 0;
  std::vector<TagCmdIrp> requests;

 private:
  std::size_t next_answer = 0;
};

}  // namespace kelvaro::test
