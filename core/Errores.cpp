#include "core/Errores.h"

namespace tavelorin {

std::string MensajeEnteroInvalido(const std::string& texto) {
    return "''" + texto + "'' is not a valid integer value";
}

std::string MensajeIndiceFueraDeRango(long long indice) {
    return "List index out of bounds (" + std::to_string(indice) + ")";
}

std::string TextoParaMostrar(const std::string& mensaje) {
    if (!mensaje.empty() && static_cast<unsigned char>(mensaje.back()) > '.') return mensaje + ".";
    return mensaje;
}

}  // namespace tavelorin
