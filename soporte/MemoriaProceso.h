// This process's resident memory as Linux reports it (/proc/self/status), for the
// benchmarks that measure a peak.
#pragma once

#include <cstdlib>
#include <fstream>
#include <string>

namespace tavelorin::bench {

// A line "Clave:   123 kB" of /proc/self/status, in bytes; -1 when missing.
inline long long EstadoBytes(const char* clave) {
    std::ifstream f("/proc/self/status");
    std::string linea;
    const std::string prefijo = std::string(clave) + ":";
    while (std::getline(f, linea))
        if (linea.rfind(prefijo, 0) == 0) return std::atoll(linea.c_str() + prefijo.size()) * 1024;
    return -1;
}

// Writing 5 to clear_refs resets VmHWM to the current RSS (Linux 4.0 on). False when
// it could not, so that the peak may predate what is measured.
inline bool ReiniciarPico() {
    std::ofstream f("/proc/self/clear_refs");
    if (!f) return false;
    f << "5";
    f.flush();
    return static_cast<bool>(f);
}

inline double MiB(long long bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

}  // namespace tavelorin::bench
