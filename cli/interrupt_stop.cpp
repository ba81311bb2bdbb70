#include "cli/interrupt_stop.h"

#include <csignal>
#include <string>
#include <utility>

namespace quenda::cli {
namespace {

volatile std::sig_atomic_t g_signal = 0;
struct sigaction g_previousInt {};
struct sigaction g_previousTerm {};

extern "C" void OnInterrupt(int signal) {
  if (g_signal != 0) {
    // Asked twice: the user does not want to wait for the frame in hand.
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    return;
  }
  g_signal = signal;
}

}  // namespace

InterruptStop::InterruptStop(Prompt& prompt) : confirming_(prompt) {
  g_signal = 0;
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;  // the file being written carries on undisturbed
  sigaction(SIGINT, &action, &g_previousInt);
  sigaction(SIGTERM, &action, &g_previousTerm);
}

InterruptStop::~InterruptStop() {
  sigaction(SIGINT, &g_previousInt, nullptr);
  sigaction(SIGTERM, &g_previousTerm, nullptr);
}

bool InterruptStop::StopRequested() {
  confirming_.stopAsked = g_signal != 0;
  return confirming_.stopAsked;
}

int InterruptStop::ExitCode(int code) const {
  return g_signal != 0 ? 128 + g_signal : code;
}

bool InterruptStop::ConfirmingPrompt::AskYesNo(std::string_view text) {
  if (!std::exchange(stopAsked, false)) return inner_.AskYesNo(text);
  inner_.Message(std::string(text) + " [yes]", MessageIcon::Question);
  return true;
}

bool InterruptStop::ConfirmingPrompt::AskOkCancel(std::string_view text) {
  if (!std::exchange(stopAsked, false)) return inner_.AskOkCancel(text);
  inner_.Message(std::string(text) + " [OK]", MessageIcon::Question);
  return true;
}

bool InterruptStop::Interrupted() const {
  return g_signal != 0;
}

}  // namespace quenda::cli
