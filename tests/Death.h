// Runs a piece of code in a child process and reports how the child ended
// and what it wrote to standard error: for the programming errors that end
// the program on purpose.
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <functional>
#include <string>

// The exit status by which a child reports that it aborted: quicker than
// letting the signal through to whatever collects core dumps.
inline constexpr int kAbortedStatus = 86;
inline void ChildAbortHandler(int) { _exit(kAbortedStatus); }

struct ChildEnd {
  bool aborted = false;  // ended by abort()
  int exitCode = -1;     // when it exited
  std::string stderrText;
};

inline ChildEnd RunInChild(const std::function<void()>& body) {
  std::fflush(nullptr);
  int fds[2];
  if (pipe(fds) != 0) return {};
  const pid_t pid = fork();
  if (pid == 0) {
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);  // an intended abort leaves no core file
    std::signal(SIGABRT, ChildAbortHandler);
    close(fds[0]);
    dup2(fds[1], 2);
    body();
    _exit(0);
  }
  close(fds[1]);
  ChildEnd end;
  char buf[4096];
  ssize_t n;
  while ((n = read(fds[0], buf, sizeof buf)) > 0) end.stderrText.append(buf, size_t(n));
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFSIGNALED(status)) end.aborted = WTERMSIG(status) == SIGABRT;
  if (WIFEXITED(status)) {
    end.exitCode = WEXITSTATUS(status);
    end.aborted = end.exitCode == kAbortedStatus;
  }
  return end;
}

// The body must end the program through RuntimeFail with a message that
// holds the expected text.
#define EXPECT_FATAL(body, expected)                                                         \
  do {                                                                                       \
    const ChildEnd end_ = RunInChild([&] { body; });                                         \
    QVERIFY2(end_.aborted, ("did not abort; stderr: " + end_.stderrText).c_str());           \
    QVERIFY2(end_.stderrText.find(expected) != std::string::npos,                            \
             ("stderr lacks '" + std::string(expected) + "': " + end_.stderrText).c_str()); \
  } while (0)
