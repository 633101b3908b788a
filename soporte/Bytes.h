// A file's bytes read and written whole, as tests compare what a command wrote.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

namespace tavelorin {

// Every byte of the file; empty when it cannot be opened.
inline std::string LeerBytes(const std::filesystem::path& ruta) {
    std::ifstream f(ruta, std::ios::binary);
    std::ostringstream o;
    o << f.rdbuf();
    return o.str();
}

inline void EscribirBytes(const std::filesystem::path& ruta, std::string_view bytes) {
    std::ofstream(ruta, std::ios::binary) << bytes;
}

}  // namespace tavelorin
