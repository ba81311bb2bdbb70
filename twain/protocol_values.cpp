// The protocol's words and numbers: condition codes in words, the device statuses they stand
// for, and the fixed point the layout and capabilities travel in.
#include <array>
#include <cmath>

#include "twain/twain_session.h"

namespace quenda::twain {
namespace {

constexpr std::array<std::string_view, 16> kConditionEntries{
    "It worked!",
    "Failure due to unknown causes",
    "Not enough memory to perform operation",
    "No Data Source",
    "DS is connected to max possible apps",
    "DS or DSM reported error, app shouldn't",
    "Unknown capability",
    "",
    "",
    "Unrecognized MSG DG DAT combination",
    "Data parameter out of range",
    "DG DAT MSG out of expected sequence",
    "Unknown destination App/Src in DSM_Entry",
    "Capability not supported by source",
    "Operation not supported by capability",
    "Capability has dependancy on other capability",
};

}  // namespace

std::string ConditionText(int conditionCode) {
  if (conditionCode < 0 || conditionCode >= int(kConditionEntries.size()))
    return "error no out of range";
  return "Condition Code: " + std::string(kConditionEntries[conditionCode]);
}

int ConditionCodeOf(DeviceStatus status) {
  switch (status) {
    case DeviceStatus::Good:
      return kCcSuccess;
    case DeviceStatus::Unsupported:
      return kCcCapUnsupported;
    case DeviceStatus::DeviceBusy:
      return kCcMaxConnections;
    case DeviceStatus::Invalid:
      return kCcBadValue;
    case DeviceStatus::NoMemory:
      return kCcLowMemory;
    // The scanner itself went wrong: nothing the program asked was at fault.
    case DeviceStatus::EndOfData:
    case DeviceStatus::Jammed:
    case DeviceStatus::NoDocuments:
    case DeviceStatus::CoverOpen:
    case DeviceStatus::IoError:
      return kCcOperationError;
    case DeviceStatus::Cancelled:
    case DeviceStatus::AccessDenied:
      break;
  }
  return kCcBummer;
}

int32_t ToFix32(double value) {
  return int32_t(std::lround(value * 65536.0));
}

double FromFix32(int32_t fixed) {
  const int16_t whole = int16_t(uint32_t(fixed) >> 16);
  const uint16_t fraction = uint16_t(uint32_t(fixed) & 0xFFFF);
  return whole + fraction / 65536.0;
}

int RoundHalfUp(double value) {
  if (!std::isfinite(value)) return 0;
  return int(std::floor(value + 0.5));
}

}  // namespace quenda::twain
