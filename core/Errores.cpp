#include "core/Errores.h"

namespace tavelorin {

std::string TextoCitado(std::string_view texto) {
    size_t caracteres = 0;
    for (size_t i = 0; i < texto.size(); ++caracteres) {
        if (caracteres == kCaracteresCitados) return std::string(texto.substr(0, i)) + "\u2026";
        // A character: a byte and the continuation bytes after it, four bytes at most.
        size_t fin = i + 1;
        while (fin < texto.size() && fin - i < 4 && (static_cast<unsigned char>(texto[fin]) & 0xC0) == 0x80) ++fin;
        i = fin;
    }
    return std::string(texto);
}

std::string MensajeEnteroInvalido(std::string_view texto) {
    return "''" + TextoCitado(texto) + "'' is not a valid integer value";
}

std::string MensajeIndiceFueraDeRango(long long indice) {
    return "List index out of bounds (" + std::to_string(indice) + ")";
}

void LanzarEnteroInvalido(std::string_view texto, std::string explicacion) {
    throw ErrorTavelorin(MensajeEnteroInvalido(std::string(texto)), std::move(explicacion));
}

std::string TextoParaMostrar(const std::string& mensaje) {
    if (!mensaje.empty() && static_cast<unsigned char>(mensaje.back()) > '.') return mensaje + ".";
    return mensaje;
}

}  // namespace tavelorin
