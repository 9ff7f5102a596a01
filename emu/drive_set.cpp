#include "emu/drive_set.h"

namespace kelvaro::emu {
namespace {

const char* DirName(DataDir dir) {
  switch (dir) {
    case DataDir::kIn:
      return "in";
    case DataDir::kOut:
      return "out";
    default:
      return "none";
  }
}

}  // namespace

DriveSet::DriveSet(const Scenario& scenario, VirtualClock& clock, RunRecord& record)
    : clock_(clock), record_(record) {
  for (const DriveSpec& spec : scenario.drives) {
    drives_.push_back({&spec, MakeDrive(spec, scenario.files)});
  }
}

AttachedDrive* DriveSet::AtLetter(char letter) {
  for (AttachedDrive& d : drives_) {
    if (d.spec->at.kind == DriveAddress::Kind::kLetter && d.spec->at.letter == letter) return &d;
  }
  return nullptr;
}

AttachedDrive* DriveSet::AtAspi(int adapter, int target) {
  for (AttachedDrive& d : drives_) {
    if (d.spec->at.kind == DriveAddress::Kind::kAspi && d.spec->at.adapter == adapter &&
        d.spec->at.target == target) {
      return &d;
    }
  }
  return nullptr;
}

AttachedDrive* DriveSet::AtIde(int position) {
  for (AttachedDrive& d : drives_) {
    if (d.spec->at.kind == DriveAddress::Kind::kIde && d.spec->at.position == position) return &d;
  }
  return nullptr;
}

CommandReply DriveSet::Execute(AttachedDrive& drive, const std::string& transport,
                               const std::uint8_t* cdb, std::size_t cdb_length, DataDir dir,
                               std::uint8_t* data, std::uint32_t length) {
  CommandRecord log;
  log.at = drive.spec->at.text;
  log.transport = transport;
  log.cdb.assign(cdb, cdb + cdb_length);
  log.dir = DirName(dir);
  log.length = length;
  log.at_ms = clock_.now();
  if (dir == DataDir::kOut && data != nullptr && length <= kLoggedDataLimit) {
    log.data.assign(data, data + length);
  }

  const CommandReply reply = drive.model->Execute(cdb, cdb_length, dir, data, length, clock_.now());
  switch (reply.status) {
    case CommandReply::Status::kGood:
      log.status = "good";
      break;
    case CommandReply::Status::kCheckCondition:
      log.status = "check-condition";
      log.sense = std::array<std::uint8_t, 3>{reply.sense[2], reply.sense[12], reply.sense[13]};
      break;
    case CommandReply::Status::kTimeout:
      log.status = "timeout";
      break;
  }
  record_.commands.push_back(std::move(log));
  return reply;
}

std::vector<DriveRecord> DriveSet::States() const {
  std::vector<DriveRecord> states;
  for (const AttachedDrive& d : drives_) states.push_back(d.model->State());
  return states;
}

}  // namespace kelvaro::emu
