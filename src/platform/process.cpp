#include "platform/process.h"

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <sys/types.h>
#include <cerrno>
#include <csignal>
#endif

#include <limits>

namespace process {

bool isRunning(qint64 pid) {
  // 0 and negative ids address process groups, not one process: never ask about them.
  if (pid <= 0) return false;
#ifdef Q_OS_WIN
  if (pid > std::numeric_limits<DWORD>::max()) return false;
  HANDLE handle = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
  if (!handle) return GetLastError() == ERROR_ACCESS_DENIED;
  DWORD exitCode = 0;
  const bool running = GetExitCodeProcess(handle, &exitCode) && exitCode == STILL_ACTIVE;
  CloseHandle(handle);
  return running;
#else
  if (pid > std::numeric_limits<pid_t>::max()) return false;
  if (::kill(static_cast<pid_t>(pid), 0) == 0) return true;
  return errno == EPERM;
#endif
}

}  // namespace process
