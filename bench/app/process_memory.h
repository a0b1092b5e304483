// Memory figures of the running benchmark process, from /proc/self/status.
#pragma once

#include <fstream>
#include <string>
#include <string_view>

namespace varsk::bench {

// The value of a "Vm..." line of /proc/self/status in MiB ("VmRSS" for the
// resident memory now, "VmHWM" for its peak); 0 where there is none.
inline double ProcessMemoryMiB(std::string_view key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::string prefix = std::string(key) + ':';
  while (std::getline(status, line)) {
    if (line.rfind(prefix, 0) == 0) return std::stod(line.substr(prefix.size())) / 1024.0;
  }
  return 0;
}

}  // namespace varsk::bench
