// Error type shared by every layer: carries the exact text shown to the user.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tavelorin {

// A cell of the problem lines: product from 1, field from 1 (the field after the last
// component is the demand). It is also the grid's cell (column campo, row producto).
struct CeldaProblema {
    int32_t producto = 0;
    int32_t campo = 0;
    bool operator==(const CeldaProblema&) const = default;
};

// The message is the exact text shown to the user; the explanation, when the place that
// raises the error knows more (which cell, which line of a file), says in Spanish what is
// wrong and where. Without one, ExplicacionGeneral (core/Explicaciones.h) gives the
// message's general explanation.
class ErrorTavelorin : public std::runtime_error {
public:
    explicit ErrorTavelorin(const std::string& mensaje) : std::runtime_error(mensaje) {}
    ErrorTavelorin(const std::string& mensaje, std::string explicacion)
        : std::runtime_error(mensaje), explicacion_(std::make_shared<const std::string>(std::move(explicacion))) {}

    // Empty when the raise site gave none.
    const std::string& Explicacion() const {
        static const std::string vacia;
        return explicacion_ ? *explicacion_ : vacia;
    }

    // The cell whose text the error is about, when it is about one.
    const std::optional<CeldaProblema>& Celda() const { return celda_; }
    ErrorTavelorin& EnCelda(int32_t producto, int32_t campo) {
        celda_ = CeldaProblema{producto, campo};
        return *this;
    }

private:
    std::shared_ptr<const std::string> explicacion_;  // shared: copying an exception must not throw
    std::optional<CeldaProblema> celda_;
};

// Messages the program raises, as the user sees them (before the final "." rule).
namespace mensajes {
inline constexpr const char* kSinMemoria = "Out of memory";
inline constexpr const char* kRangoInvalido = "Range check error";
inline constexpr const char* kErrorEscritura = "Stream write error";
}  // namespace mensajes

// A user's text as a message quotes it: at most kCaracteresCitados characters, then "…"
// when it is longer, so that a huge line never makes a huge message. A character is a
// byte with the continuation bytes (10xxxxxx) after it, four bytes at most: a UTF-8
// character is never cut in two, and ill-formed bytes cannot make the quote long.
inline constexpr size_t kCaracteresCitados = 60;
std::string TextoCitado(std::string_view texto);

// "''%s'' is not a valid integer value", the text quoted by TextoCitado
std::string MensajeEnteroInvalido(std::string_view texto);
// "List index out of bounds (%d)"
std::string MensajeIndiceFueraDeRango(long long indice);

// Throws the integer message for texto with an explanation of where the text was.
[[noreturn]] void LanzarEnteroInvalido(std::string_view texto, std::string explicacion);

// The text the application's error handler shows: a "." is appended when the last
// character's code is above that of "." (letters, digits, and any non-ASCII byte).
std::string TextoParaMostrar(const std::string& mensaje);

}  // namespace tavelorin
