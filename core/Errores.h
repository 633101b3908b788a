// Error type shared by every layer: carries the exact text shown to the user.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

namespace tavelorin {

// A cell of the problem lines: product from 1, field from 1 (the field after the last
// component is the demand). It is also the grid's cell (column campo, row producto).
struct CeldaProblema {
    int32_t producto = 0;
    int32_t campo = 0;
    bool operator==(const CeldaProblema&) const = default;
};

class ErrorTavelorin : public std::runtime_error {
public:
    explicit ErrorTavelorin(const std::string& mensaje) : std::runtime_error(mensaje) {}

    // The cell whose text the error is about, when it is about one.
    const std::optional<CeldaProblema>& Celda() const { return celda_; }
    ErrorTavelorin& EnCelda(int32_t producto, int32_t campo) {
        celda_ = CeldaProblema{producto, campo};
        return *this;
    }

private:
    std::optional<CeldaProblema> celda_;
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
