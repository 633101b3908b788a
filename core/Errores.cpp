#include "core/Errores.h"

namespace tavelorin {

std::string MensajeEnteroInvalido(const std::string& texto) {
    return "''" + texto + "'' is not a valid integer value";
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
