// The two wrappers every move between states goes through, and what each operation asks of the
// device underneath.
#include <vector>

#include "twain/twain_session.h"

namespace quenda::twain {
namespace {

constexpr int kCcBadDest = 12;

}  // namespace

uint16_t TwainSession::Fail(DeviceStatus status) {
  condition_ = ConditionCodeOf(status);
  return kRcFailure;
}

uint16_t TwainSession::ManagerCall(Op op, CallData& data) {
  if (!entryHeld_) return kRcFailure;
  condition_ = kCcSuccess;
  lastReturnCode_ = Perform(op, data);
  if (lastReturnCode_ == kRcSuccess) {
    if (op == Op::OpenDsm) SetState(3);
    if (op == Op::CloseDsm) SetState(2);
    if (op == Op::OpenDs) SetState(4);
  }
  return lastReturnCode_;
}

uint16_t TwainSession::SourceCall(Op op, CallData& data) {
  if (!entryHeld_) return kRcFailure;
  if (op != Op::GetStatus) condition_ = kCcSuccess;
  if (!device_) {
    // No source is open to take the call.
    condition_ = kCcBadDest;
    lastReturnCode_ = kRcFailure;
    return lastReturnCode_;
  }
  const uint16_t rc = Perform(op, data);
  lastReturnCode_ = rc;
  switch (op) {
    case Op::ImageNativeXfer:
      if (rc == kRcXferDone || rc == kRcCancel) SetState(7);
      break;
    case Op::ProcessEvent:
      if (data.message == kMsgXferReady) SetState(6);
      if (data.message == kMsgCloseDsReq) SetState(5);
      break;
    case Op::ResetXfers:
      if (rc == kRcSuccess) SetState(5);
      break;
    case Op::EndXfer:
      if (rc == kRcSuccess) SetState(pendingTransfers_ > 0 ? 6 : 5);
      break;
    case Op::DisableDs:
      if (rc == kRcSuccess) SetState(4);
      break;
    case Op::EnableDs:
      if (rc == kRcSuccess) SetState(5);
      break;
    case Op::CloseDs:
      if (rc == kRcSuccess) SetState(3);
      break;
    default:
      break;
  }
  return rc;
}

uint16_t TwainSession::Perform(Op op, CallData& data) {
  switch (op) {
    case Op::OpenDsm: {
      if (state_ >= 3) {
        condition_ = kCcSeqError;
        return kRcFailure;
      }
      std::vector<DeviceInfo> listed;
      if (DeviceStatus status = manager_.ListDevices(listed); status != DeviceStatus::Good)
        return Fail(status);
      sources_ = std::move(listed);
      return kRcSuccess;
    }
    case Op::CloseDsm:
      sources_.clear();
      return kRcSuccess;
    case Op::GetDefault:
      if (sources_.empty()) {
        condition_ = kCcNoDs;
        return kRcFailure;
      }
      return kRcSuccess;
    case Op::UserSelect: {
      if (sources_.empty()) {
        condition_ = kCcNoDs;
        return kRcFailure;
      }
      ChoiceQuestion question{"Select Source", "Sources:", "", {}};
      for (const DeviceInfo& source : sources_) question.buttons.push_back(source.name);
      std::optional<int> chosen = prompt_.AskChoice(question);
      if (!chosen || *chosen < 0 || *chosen >= int(sources_.size())) return kRcCancel;
      defaultSource_ = sources_[*chosen].name;
      return kRcSuccess;
    }
    case Op::OpenDs: {
      std::string name = defaultSource_;
      if (name.empty() && !sources_.empty()) name = sources_.front().name;
      if (name.empty()) {
        condition_ = kCcNoDs;
        return kRcFailure;
      }
      std::unique_ptr<ScanDevice> device;
      DeviceStatus status = manager_.Open(name, device);
      if (status != DeviceStatus::Good || !device) {
        // A source that is not there is "No Data Source", whatever the library calls it.
        condition_ = status == DeviceStatus::Invalid ? kCcNoDs : ConditionCodeOf(status);
        return kRcFailure;
      }
      device_ = std::move(device);
      sourceIdentity_ = name;
      return kRcSuccess;
    }
    case Op::CloseDs:
      device_->Cancel();
      device_.reset();
      sourceIdentity_.clear();
      return kRcSuccess;
    case Op::EnableDs:
      scanPending_ = true;
      pendingTransfers_ = 0;
      return kRcSuccess;
    case Op::DisableDs:
      scanPending_ = false;
      return kRcSuccess;
    case Op::ProcessEvent: {
      data.message = kMsgNull;
      if (!scanPending_ || state_ != 5) return kRcNotDsEvent;
      scanPending_ = false;
      DeviceStatus status = device_->Start();
      if (status == DeviceStatus::Good) {
        pendingTransfers_ = 1;
        data.message = kMsgXferReady;
        return kRcDsEvent;
      }
      // The scan could not start: the source says why (unless the user cancelled it) and asks
      // to be closed, as a source with its own window would.
      device_->Cancel();
      if (status != DeviceStatus::Cancelled) {
        condition_ = ConditionCodeOf(status);
        Report(ConditionText(condition_));
      }
      data.message = kMsgCloseDsReq;
      return kRcDsEvent;
    }
    case Op::ImageNativeXfer:
      if (state_ != 6) {
        condition_ = kCcSeqError;
        return kRcFailure;
      }
      return NativeTransfer(data.bitmap);
    case Op::EndXfer:
    case Op::ResetXfers:
      device_->Cancel();
      pendingTransfers_ = 0;
      return kRcSuccess;
    case Op::SetCapability:
      switch (data.capability) {
        case kCapPixelType:
          if (data.intValue != kPixelTypeGray && data.intValue != kPixelTypeRgb) {
            condition_ = kCcBadValue;
            return kRcFailure;
          }
          if (DeviceStatus status = device_->SetPixelType(
                  data.intValue == kPixelTypeRgb ? PixelType::Color : PixelType::Gray);
              status != DeviceStatus::Good)
            return Fail(status);
          return kRcSuccess;
        case kCapXResolution:
        case kCapYResolution:
          if (DeviceStatus status = device_->SetResolution(data.intValue);
              status != DeviceStatus::Good)
            return Fail(status);
          return kRcSuccess;
        default:
          condition_ = kCcBadCap;
          return kRcFailure;
      }
    case Op::GetCapability: {
      if (data.capability != kCapPhysicalWidth && data.capability != kCapPhysicalHeight) {
        condition_ = kCcBadCap;
        return kRcFailure;
      }
      double width = 0, height = 0;
      if (DeviceStatus status = device_->GetBedSize(width, height); status != DeviceStatus::Good)
        return Fail(status);
      data.value = data.capability == kCapPhysicalWidth ? width : height;
      return kRcSuccess;
    }
    case Op::SetLayout:
      if (DeviceStatus status = device_->SetFrame(data.frame); status != DeviceStatus::Good)
        return Fail(status);
      return kRcSuccess;
    case Op::GetLayout:
      if (DeviceStatus status = device_->GetFrame(data.frame); status != DeviceStatus::Good)
        return Fail(status);
      return kRcSuccess;
    case Op::GetImageInfo:
      if (DeviceStatus status = device_->GetImageInfo(data.info); status != DeviceStatus::Good)
        return Fail(status);
      return kRcSuccess;
    case Op::GetStatus:
      data.condition = condition_;
      return kRcSuccess;
  }
  return kRcFailure;
}

}  // namespace quenda::twain
