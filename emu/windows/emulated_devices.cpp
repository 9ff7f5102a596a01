// Files of the current directory, and the drive letters' devices with their
// SCSI pass-through, address, capability and media-change controls.
#include <algorithm>
#include <cctype>
#include <cstring>

#include "emu/windows/emulated_windows.h"
#include "win32/records.h"

namespace kelvaro::emu {

using namespace win32;

namespace {

constexpr Dword kSecondsToMs = 1000;

// "\\.\X:" names the device of drive letter X.
bool DeviceLetter(const char* name, char& letter) {
  if (std::strlen(name) != 6 || std::strncmp(name, "\\\\.\\", 4) != 0 || name[5] != ':') {
    return false;
  }
  letter = static_cast<char>(std::toupper(static_cast<unsigned char>(name[4])));
  return true;
}

const Bytes* FindFile(const std::map<std::string, Bytes>& files, const std::string& name) {
  for (const auto& [file, content] : files) {
    if (file.size() == name.size() &&
        std::equal(file.begin(), file.end(), name.begin(), [](char a, char b) {
          return std::toupper(static_cast<unsigned char>(a)) ==
                 std::toupper(static_cast<unsigned char>(b));
        })) {
      return &content;
    }
  }
  return nullptr;
}

DataDir DirOf(std::uint8_t data_in) {
  switch (data_in) {
    case kScsiIoctlDataIn:
      return DataDir::kIn;
    case kScsiIoctlDataOut:
      return DataDir::kOut;
    default:
      return DataDir::kNone;
  }
}

}  // namespace

Handle EmulatedWindows::CreateFileA(const char* name, Dword access, Dword, Dword disposition,
                                    Dword) {
  if (name == nullptr || disposition != kOpenExisting) {
    last_error_ = kErrorInvalidParameter;
    return InvalidHandleValue();
  }
  char letter = 0;
  if (DeviceLetter(name, letter)) {
    // Only the NT family opens drives by their device path.
    if (scenario_.os.dos || scenario_.os.platform != kVerPlatformWin32Nt ||
        drives_.AtLetter(letter) == nullptr) {
      last_error_ = kErrorFileNotFound;
      return InvalidHandleValue();
    }
    return NewHandle(DeviceObject{letter, access});
  }
  const Bytes* content = FindFile(scenario_.files, name);
  if (content == nullptr) {
    last_error_ = kErrorFileNotFound;
    return InvalidHandleValue();
  }
  if ((access & kGenericWrite) != 0) {
    last_error_ = kErrorAccessDenied;  // the firmware files are read-only here
    return InvalidHandleValue();
  }
  std::size_t read_error_at = content->size() + 1;
  for (const auto& [file, offset] : scenario_.read_errors) {
    if (FindFile(scenario_.files, name) == &scenario_.files.at(file)) read_error_at = offset;
  }
  return NewHandle(FileObject{content, 0, read_error_at});
}

bool EmulatedWindows::CloseHandle(Handle handle) {
  if (objects_.erase(reinterpret_cast<std::uintptr_t>(handle)) == 0) {
    return Fail(kErrorInvalidHandle);
  }
  return true;
}

Dword EmulatedWindows::GetFileSize(Handle file, Dword* size_high) {
  FileObject* f = Get<FileObject>(file);
  if (f == nullptr) {
    last_error_ = kErrorInvalidHandle;
    return kInvalidFileSize;
  }
  if (size_high != nullptr) *size_high = 0;
  return static_cast<Dword>(f->content->size());
}

bool EmulatedWindows::ReadFile(Handle file, void* buffer, Dword bytes, Dword* read) {
  FileObject* f = Get<FileObject>(file);
  if (f == nullptr) return Fail(kErrorInvalidHandle);
  std::size_t n = std::min<std::size_t>(bytes, f->content->size() - f->position);
  if (f->position + n > f->read_error_at || (n == 0 && f->position >= f->read_error_at)) {
    // The bytes before the bad spot are delivered; the read that reaches it
    // fails.
    if (f->position >= f->read_error_at) return Fail(30);  // ERROR_READ_FAULT
    n = f->read_error_at - f->position;
  }
  if (n != 0) std::memcpy(buffer, f->content->data() + f->position, n);
  f->position += n;
  if (read != nullptr) *read = static_cast<Dword>(n);
  return true;
}

bool EmulatedWindows::DeviceIoControl(Handle device, Dword code, void* in, Dword in_size, void* out,
                                      Dword out_size, Dword* returned) {
  DeviceObject* d = Get<DeviceObject>(device);
  if (d == nullptr) return Fail(kErrorInvalidHandle);
  AttachedDrive* drive = drives_.AtLetter(d->letter);
  if (returned != nullptr) *returned = 0;

  switch (code) {
    case kIoctlScsiGetCapabilities: {
      if (out == nullptr || out_size < sizeof(IoScsiCapabilities)) {
        return Fail(kErrorInvalidParameter);
      }
      IoScsiCapabilities caps{};
      caps.Length = sizeof caps;
      caps.MaximumTransferLength = 0x10000;
      caps.MaximumPhysicalPages = 17;
      caps.AlignmentMask = 1;
      caps.AdapterUsesPio = 1;
      std::memcpy(out, &caps, sizeof caps);
      if (returned != nullptr) *returned = sizeof caps;
      return true;
    }
    case kIoctlScsiGetAddress: {
      // A drive on IEEE 1394 (SBP-2) has no SCSI address.
      if (drive->spec->ieee1394) return Fail(kErrorNotSupported);
      if (out == nullptr || out_size < sizeof(ScsiAddress)) return Fail(kErrorInvalidParameter);
      ScsiAddress address{};
      address.Length = sizeof address;
      address.PortNumber = 1;
      address.PathId = 0;
      address.TargetId = static_cast<std::uint8_t>((d->letter - 'D') % 2);
      address.Lun = 0;
      std::memcpy(out, &address, sizeof address);
      if (returned != nullptr) *returned = sizeof address;
      return true;
    }
    case kIoctlStorageMcnControl: {
      if (in == nullptr || in_size < 1) return Fail(kErrorInvalidParameter);
      record_.media_change_controls.push_back(
          {drive->spec->at.text, *static_cast<std::uint8_t*>(in) != 0, clock_.now()});
      return true;
    }
    case kIoctlScsiPassThroughDirect:
      return PassThrough(*d, in, in_size, out, out_size, returned);
    default:
      return Fail(kErrorInvalidParameter);
  }
}

bool EmulatedWindows::PassThrough(DeviceObject& device, void* in, Dword in_size, void* out,
                                  Dword out_size, Dword* returned) {
  if ((device.access & (kGenericRead | kGenericWrite)) != (kGenericRead | kGenericWrite)) {
    return Fail(kErrorAccessDenied);
  }
  if (in == nullptr || out == nullptr || in_size < sizeof(ScsiPassThroughDirect) ||
      out_size < sizeof(ScsiPassThroughDirect)) {
    return Fail(kErrorInvalidParameter);
  }
  ScsiPassThroughDirect request;
  std::memcpy(&request, in, sizeof request);
  if (request.Length != sizeof(ScsiPassThroughDirect) || request.CdbLength == 0 ||
      request.CdbLength > 16 ||
      (request.DataTransferLength != 0 && request.DataBuffer == nullptr &&
       request.DataIn != kScsiIoctlDataUnspecified) ||
      static_cast<std::uint64_t>(request.SenseInfoOffset) + request.SenseInfoLength > out_size) {
    return Fail(kErrorInvalidParameter);
  }

  AttachedDrive* drive = drives_.AtLetter(device.letter);
  const DataDir dir = DirOf(request.DataIn);
  const std::uint32_t length = dir == DataDir::kNone ? 0 : request.DataTransferLength;
  const std::uint64_t start = clock_.now();
  const CommandReply reply =
      drives_.Execute(*drive, "spti", request.Cdb, request.CdbLength, dir,
                      static_cast<std::uint8_t*>(request.DataBuffer), length);
  const std::uint64_t limit_ms = static_cast<std::uint64_t>(request.TimeOutValue) * kSecondsToMs;
  drives_.LastCommand().timeout_ms = static_cast<std::uint32_t>(limit_ms);

  if (reply.status == CommandReply::Status::kTimeout || reply.duration_ms > limit_ms) {
    // The port driver gives up on the command once its time-out has passed.
    drives_.LastCommand().status = "timeout";
    drives_.LastCommand().sense.reset();
    AdvanceTo(start + limit_ms);
    return Fail(kErrorSemTimeout);
  }
  AdvanceTo(start + reply.duration_ms);

  auto* answer = static_cast<std::uint8_t*>(out);
  ScsiPassThroughDirect result = request;
  if (reply.status == CommandReply::Status::kCheckCondition) {
    result.ScsiStatus = 0x02;
    const std::size_t n = std::min<std::size_t>(request.SenseInfoLength, reply.sense.size());
    std::memcpy(answer + request.SenseInfoOffset, reply.sense.data(), n);
    result.SenseInfoLength = static_cast<std::uint8_t>(n);
    if (dir == DataDir::kIn) result.DataTransferLength = reply.transferred;
  } else {
    result.ScsiStatus = 0;
    result.SenseInfoLength = 0;
    if (dir == DataDir::kIn) result.DataTransferLength = reply.transferred;
  }
  std::memcpy(answer, &result, sizeof result);
  if (returned != nullptr) *returned = sizeof result;
  return true;
}

}  // namespace kelvaro::emu
