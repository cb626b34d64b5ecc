#pragma once
// Generated dialog files and a child-process runner for the benchmarks that measure the
// companion as the user runs it.
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QByteArray>
#include <QFile>
#include <QString>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace bxw::bench {

// A window of `gadgets` controls: a vbox of hboxes holding ten gadgets each, of four kinds.
inline QByteArray GadgetWindowXml(int gadgets) {
  static const char* const kinds[] = {"button", "string", "checkbox", "text"};
  QByteArray xml = "<window name='bench' text='Bench' flags='#PB_Window_Invisible'><vbox>";
  for (int i = 0; i < gadgets; ++i) {
    // Rows are named, so that an import that refuses a taken name still reads all of them.
    if (i % 10 == 0)
      xml += (i ? "</hbox><hbox name='r" : "<hbox name='r") + QByteArray::number(i / 10) + "'>";
    xml += QByteArray("<") + kinds[(i / 10 + i) % 4] + " name='g" + QByteArray::number(i) +
           "' text='Item " + QByteArray::number(i % 10) + "'/>";
  }
  if (gadgets) xml += "</hbox>";
  return xml + "</vbox></window>";
}

inline bool WriteFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

struct ChildRun {
  int status = -1;  // exit code, or -1 when it did not exit by itself
  int signal = 0;   // the signal that ended it, if any
  bool timedOut = false;
  bool killedForMemory = false;
  long peakRssKb = 0;     // ru_maxrss of the child
  double seconds = 0;     // wall time
  double cpuSeconds = 0;  // user and system time of the child
};

// Resident size of a running process in kB, from /proc (0 when it cannot be read).
inline long ResidentKb(pid_t pid) {
  char path[64];
  std::snprintf(path, sizeof path, "/proc/%d/statm", static_cast<int>(pid));
  FILE* f = std::fopen(path, "r");
  if (!f) return 0;
  long pages = 0, resident = 0;
  const int got = std::fscanf(f, "%ld %ld", &pages, &resident);
  std::fclose(f);
  return got == 2 ? resident * (sysconf(_SC_PAGESIZE) / 1024) : 0;
}

// Runs a program with stdout and stderr sent to /dev/null and waits for it (wait4, so that its
// peak resident size comes back with it). A child still running after `timeoutSeconds`, or
// resident beyond `killAboveKb` (0: no limit), is killed: a runaway child has shown its fault
// by then and must not take the shared machine down with it.
inline ChildRun RunChild(const std::vector<std::string>& argv, double timeoutSeconds = 600,
                         long killAboveKb = 0) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  ChildRun run;
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid < 0) return run;
  if (pid == 0) {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    execv(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  for (;;) {
    const pid_t done = wait4(pid, &status, WNOHANG, &usage);
    if (done == pid) break;
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!run.timedOut && !run.killedForMemory) {
      if (elapsed > timeoutSeconds) {
        run.timedOut = true;
        kill(pid, SIGKILL);
      } else if (killAboveKb && ResidentKb(pid) > killAboveKb) {
        run.killedForMemory = true;
        kill(pid, SIGKILL);
      }
    }
    usleep(5000);
  }
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.peakRssKb = usage.ru_maxrss;
  run.cpuSeconds = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
                   usage.ru_stime.tv_usec / 1e6;
  if (WIFEXITED(status)) run.status = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) run.signal = WTERMSIG(status);
  return run;
}

}  // namespace bxw::bench
