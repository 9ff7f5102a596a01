#include "emu/drives/fault_injector.h"

#include <algorithm>
#include <utility>

namespace kelvaro::emu {
namespace {

bool Matches(const FaultSpec& fault, const Command& c) {
  if (c.cdb_length < fault.cdb_prefix.size()) return false;
  if (!std::equal(fault.cdb_prefix.begin(), fault.cdb_prefix.end(), c.cdb)) return false;
  return !fault.offset || *fault.offset == c.BufferOffset();
}

bool InWindow(const FaultSpec& fault, long long number) {
  if (number < fault.nth) return false;
  return fault.count == 0 || number < static_cast<long long>(fault.nth) + fault.count;
}

}  // namespace

FaultInjector::FaultInjector(std::unique_ptr<EmulatedDrive> drive, std::vector<FaultSpec> faults)
    : drive_(std::move(drive)), faults_(std::move(faults)), matched_(faults_.size(), 0) {}

const FaultSpec* FaultInjector::FaultFor(const Command& c) {
  const FaultSpec* hit = nullptr;
  for (std::size_t i = 0; i < faults_.size(); ++i) {
    if (!Matches(faults_[i], c)) continue;
    ++matched_[i];
    if (hit == nullptr && InWindow(faults_[i], matched_[i])) hit = &faults_[i];
  }
  return hit;
}

CommandReply FaultInjector::Execute(const std::uint8_t* cdb, std::size_t cdb_length, DataDir dir,
                                    std::uint8_t* data, std::uint32_t length,
                                    std::uint64_t now_ms) {
  const Command c{cdb, cdb_length, dir, data, length, now_ms};
  const FaultSpec* fault = FaultFor(c);
  if (fault == nullptr) return drive_->Execute(cdb, cdb_length, dir, data, length, now_ms);

  // The command is not carried out in any case.
  CommandReply reply;
  switch (fault->reply) {
    case FaultReply::kTimeout:
      drive_->NoteFailedCommand(c);
      reply.status = CommandReply::Status::kTimeout;
      reply.duration_ms = CommandReply::kNever;
      return reply;
    case FaultReply::kCheckCondition:
      drive_->NoteFailedCommand(c);
      break;
    case FaultReply::kPowerLoss:
      drive_->PowerLoss();
      break;
  }
  reply = CheckCondition({fault->sense[0], fault->sense[1], fault->sense[2]});
  drive_->KeepSense(reply.sense);
  return reply;
}

}  // namespace kelvaro::emu
