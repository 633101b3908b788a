// Error type shared by every layer: carries the exact text shown to the user.
#pragma once

#include <stdexcept>
#include <string>

namespace tavelorin {

class ErrorTavelorin : public std::runtime_error {
public:
    explicit ErrorTavelorin(const std::string& mensaje) : std::runtime_error(mensaje) {}
};

// Messages the program raises, as the user sees them (before the final "." rule).
namespace mensajes {
inline constexpr const char* kSinMemoria = "Out of memory";
inline constexpr const char* kRangoInvalido = "Range check error";
inline constexpr const char* kErrorEscritura = "Stream write error";
}  // namespace mensajes

// "''%s'' is not a valid integer value"
std::string MensajeEnteroInvalido(const std::string& texto);
// "List index out of bounds (%d)"
std::string MensajeIndiceFueraDeRango(long long indice);

// The text the application's error handler shows: a "." is appended when the last
// character's code is above that of "." (letters, digits, and any non-ASCII byte).
std::string TextoParaMostrar(const std::string& mensaje);

}  // namespace tavelorin
