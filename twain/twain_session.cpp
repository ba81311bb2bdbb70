// The session's operations, each one step of the protocol's state model, and the reports it
// gives from the source's status.
#include "twain/twain_session.h"

namespace quenda::twain {

TwainSession::TwainSession(ScanDeviceManager& manager, Prompt& prompt)
    : manager_(manager), prompt_(prompt) {}

TwainSession::~TwainSession() {
  CloseDownTo(1);
}

void TwainSession::SetState(int state) {
  if (state == state_) return;
  state_ = state;
  OnStateChanged(state);
}

void TwainSession::Report(std::string_view text) {
  prompt_.Message(text, MessageIcon::Information);
}

void TwainSession::StartUp() {
  if (IsTwainAvailable() && !OpenSourceManager()) OnFailure(SessionFailure::SourceManager);
}

bool TwainSession::IsTwainAvailable() {
  if (entryHeld_) return true;
  if (availability_ == Availability::Untested)
    availability_ = LoadSourceManager() ? Availability::Available : Availability::Unavailable;
  return availability_ == Availability::Available;
}

bool TwainSession::LoadSourceManager() {
  if (state_ >= 2) return true;
  if (manager_.Init() != DeviceStatus::Good) return false;
  entryHeld_ = true;
  SetState(2);
  return true;
}

bool TwainSession::OpenSourceManager() {
  LoadSourceManager();
  CallData data;
  ManagerCall(Op::OpenDsm, data);
  return state_ >= 3;
}

bool TwainSession::OpenSource() {
  if (state_ != 3) return false;
  sourceIdentity_.clear();
  CallData data;
  ManagerCall(Op::OpenDs, data);
  return state_ == 4;
}

bool TwainSession::EnableSource() {
  if (state_ != 4) return false;
  CallData data;
  SourceCall(Op::EnableDs, data);
  return state_ == 5;
}

bool TwainSession::DisableSource() {
  if (state_ == 5) {
    CallData data;
    SourceCall(Op::DisableDs, data);
  }
  return state_ < 5;
}

bool TwainSession::CloseSource() {
  if (state_ == 5) DisableSource();
  if (state_ == 4) {
    CallData data;
    SourceCall(Op::CloseDs, data);
  }
  return state_ < 4;
}

bool TwainSession::CloseSourceManager() {
  CloseSource();
  if (state_ >= 3) {
    CallData data;
    ManagerCall(Op::CloseDsm, data);
  }
  return state_ < 3;
}

bool TwainSession::UnloadSourceManager() {
  if (state_ == 2) {
    manager_.Exit();
    entryHeld_ = false;
    SetState(1);
  }
  return state_ == 1;
}

bool TwainSession::EndTransfer() {
  if (state_ == 7) {
    CallData data;
    SourceCall(Op::EndXfer, data);
  }
  return state_ < 7;
}

bool TwainSession::ResetTransfers() {
  EndTransfer();
  if (state_ == 6) {
    CallData data;
    SourceCall(Op::ResetXfers, data);
  }
  return state_ < 6;
}

bool TwainSession::CloseDownTo(int target) {
  while (state_ > target) {
    bool stepped = false;
    switch (state_) {
      case 7:
        stepped = EndTransfer();
        break;
      case 6:
        stepped = ResetTransfers();
        break;
      case 5:
        stepped = DisableSource();
        break;
      case 4:
        stepped = CloseSource();
        break;
      case 3:
        stepped = CloseSourceManager();
        break;
      case 2:
        stepped = UnloadSourceManager();
        break;
      default:
        return false;
    }
    if (!stepped) return false;
  }
  return true;
}

bool TwainSession::SelectSource() {
  const int remembered = state_;
  bool chosen = false;
  if (!OpenSourceManager()) {
    OnFailure(SessionFailure::SourceManager);
  } else {
    CallData data;
    ManagerCall(Op::GetDefault, data);
    chosen = ManagerCall(Op::UserSelect, data) == kRcSuccess;
  }
  CloseDownTo(remembered);
  return chosen;
}

bool TwainSession::SetCapability(uint16_t capability, int value) {
  if (state_ < 4) return false;
  CallData data;
  data.capability = capability;
  data.intValue = value;
  return SourceCall(Op::SetCapability, data) == kRcSuccess;
}

bool TwainSession::SetScanArea(double left, double top, double width, double height) {
  if (state_ < 4) return false;
  // The layout travels in the protocol's fixed point, so the device sees what it would.
  CallData data;
  data.frame = {FromFix32(ToFix32(left)), FromFix32(ToFix32(top)), FromFix32(ToFix32(left + width)),
                FromFix32(ToFix32(top + height))};
  return SourceCall(Op::SetLayout, data) == kRcSuccess;
}

bool TwainSession::GetCapabilityOneValue(uint16_t capability, double& value) {
  CallData data;
  data.capability = capability;
  if (SourceCall(Op::GetCapability, data) != kRcSuccess) return false;
  value = FromFix32(ToFix32(data.value));
  return true;
}

bool TwainSession::ProcessEvent() {
  if (state_ < 5) return false;
  CallData data;
  const bool consumed = SourceCall(Op::ProcessEvent, data) == kRcDsEvent;
  if (data.message == kMsgXferReady) OnTransferReady();
  if (data.message == kMsgCloseDsReq) OnCloseRequest();
  return consumed;
}

bool TwainSession::RequestScan() {
  if (state_ != 5) return false;
  scanPending_ = true;
  return true;
}

void TwainSession::DeliverEvents() {
  while (state_ >= 5 && ProcessEvent()) {
  }
}

std::string TwainSession::StatusReport() {
  CallData data;
  if (SourceCall(Op::GetStatus, data) != kRcSuccess) return "Could not get error status";
  return ConditionText(data.condition);
}

Result<double> TwainSession::BedWidth() const {
  if (bedWidth_ < 0) return Error{"Internal Error : Flatbed width not initialized!"};
  return bedWidth_;
}

Result<double> TwainSession::BedHeight() const {
  if (bedHeight_ < 0) return Error{"Internal Error : Flatbed height not initialized!"};
  return bedHeight_;
}

}  // namespace quenda::twain
