#include "farm/core/process_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <thread>

namespace quenda::farm {
namespace {

// A pipe whose ends close with it.
struct Pipe {
  int fd[2] = {-1, -1};
  Pipe() {
    if (pipe2(fd, O_CLOEXEC) != 0) fd[0] = fd[1] = -1;
  }
  ~Pipe() {
    Close(0);
    Close(1);
  }
  Pipe(const Pipe&) = delete;
  Pipe& operator=(const Pipe&) = delete;
  bool ok() const { return fd[0] >= 0; }
  void Close(int end) {
    if (fd[end] >= 0) close(fd[end]);
    fd[end] = -1;
  }
};

}  // namespace

ProcessOutput SystemProcessRunner::Run(const std::vector<std::string>& argv,
                                       std::string_view input) {
  ProcessOutput result;
  if (argv.empty()) return result;
  Pipe in, out, err;
  if (!in.ok() || !out.ok() || !err.ok()) return result;
  std::vector<char*> words;
  for (const std::string& word : argv) words.push_back(const_cast<char*>(word.c_str()));
  words.push_back(nullptr);
  // Exec's failure reaches the parent through this pipe, closed on a successful exec.
  Pipe failed;
  const pid_t pid = fork();
  if (pid < 0) return result;
  if (pid == 0) {
    dup2(in.fd[0], STDIN_FILENO);
    dup2(out.fd[1], STDOUT_FILENO);
    dup2(err.fd[1], STDERR_FILENO);
    execvp(words[0], words.data());
    const int code = errno;
    ssize_t ignored = write(failed.fd[1], &code, sizeof code);
    (void)ignored;
    _exit(127);
  }
  in.Close(0);
  out.Close(1);
  err.Close(1);
  failed.Close(1);
  // A command that stops reading must not end this process with SIGPIPE.
  struct sigaction ignore {
  }, previous{};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGPIPE, &ignore, &previous);
  std::size_t written = 0;
  // Written a pipe's worth at a time, so the command's output is read while it reads.
  fcntl(in.fd[1], F_SETFL, O_NONBLOCK);
  if (input.empty()) in.Close(1);
  std::array<char, 4096> buffer{};
  while (out.fd[0] >= 0 || err.fd[0] >= 0) {
    std::array<pollfd, 3> watched{
        {{out.fd[0], POLLIN, 0}, {err.fd[0], POLLIN, 0}, {in.fd[1], POLLOUT, 0}}};
    if (poll(watched.data(), watched.size(), -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    for (int i = 0; i < 2; ++i) {
      if (!watched[std::size_t(i)].revents) continue;
      Pipe& pipe = i == 0 ? out : err;
      const ssize_t n = read(pipe.fd[0], buffer.data(), buffer.size());
      if (n > 0)
        (i == 0 ? result.out : result.err).append(buffer.data(), std::size_t(n));
      else if (n == 0 || errno != EINTR)
        pipe.Close(0);
    }
    if (in.fd[1] >= 0 && watched[2].revents) {
      const ssize_t n = write(in.fd[1], input.data() + written, input.size() - written);
      if (n > 0) written += std::size_t(n);
      if ((n < 0 && errno != EAGAIN && errno != EINTR) || written == input.size()) in.Close(1);
    }
  }
  in.Close(1);
  int code = 0;
  const bool execFailed = read(failed.fd[0], &code, sizeof code) == sizeof code;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  sigaction(SIGPIPE, &previous, nullptr);
  if (execFailed) return result;
  result.started = true;
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return result;
}

void SystemProcessRunner::Pause(std::chrono::milliseconds time) {
  std::this_thread::sleep_for(time);
}

}  // namespace quenda::farm
