// Checks for the fuzz targets: a failed check prints what was expected and aborts,
// so libFuzzer records the input as a crash.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace tavelorin::fuzz {

// Bytes shown with C escapes, so tabs, breaks and non-ASCII bytes stay visible; a long
// text shows its first and last 60 bytes.
inline std::string Visible(std::string_view s) {
    if (s.size() > 160)
        return Visible(s.substr(0, 60)) + "...(" + std::to_string(s.size()) + " bytes)..." +
               Visible(s.substr(s.size() - 60));
    std::string r;
    for (const unsigned char c : s) {
        if (c == '\\') {
            r += "\\\\";
        } else if (c >= 0x20 && c < 0x7F) {
            r.push_back(static_cast<char>(c));
        } else {
            char b[8];
            std::snprintf(b, sizeof b, "\\x%02X", c);
            r += b;
        }
    }
    return r;
}

// A user's text as messages quote it: the first 60 characters and "…" when there are
// more. A character is a byte with up to three bytes 0x80..0xBF after it.
inline std::string Citado(std::string_view s) {
    std::vector<size_t> inicios;  // where each character starts
    for (size_t i = 0; i < s.size(); ++i) {
        const bool continuacion = (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80;
        if (!continuacion || inicios.empty() || i - inicios.back() == 4) inicios.push_back(i);
    }
    if (inicios.size() <= 60) return std::string(s);
    return std::string(s.substr(0, inicios[60])) + "\xE2\x80\xA6";
}

[[noreturn]] inline void Fallar(const char* fichero, int linea, const char* condicion, const std::string& detalle) {
    std::fprintf(stderr, "%s:%d: falla la comprobacion: %s\n%s\n", fichero, linea, condicion, detalle.c_str());
    std::abort();
}

}  // namespace tavelorin::fuzz

// COMPROBAR(condicion, detalle): detalle is any expression that converts to std::string,
// evaluated only on failure.
#define COMPROBAR(condicion, detalle)                                                       \
    do {                                                                                    \
        if (!(condicion)) ::tavelorin::fuzz::Fallar(__FILE__, __LINE__, #condicion, (detalle)); \
    } while (0)
