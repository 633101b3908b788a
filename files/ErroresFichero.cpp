#include "files/ErroresFichero.h"

#include <cstring>
#include <filesystem>
#include <system_error>

#include <locale.h>
#include <string.h>

#include "core/Errores.h"
#include "core/Explicaciones.h"

namespace tavelorin {

namespace {

// Message text for an errno value, always in English whatever the process locale.
std::string DescripcionError(int error) {
    static const locale_t localeC = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    if (localeC != static_cast<locale_t>(0)) return strerror_l(error, localeC);
    return std::strerror(error);
}

std::string RutaCompleta(const std::string& nombre) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path absoluta = fs::absolute(fs::path(nombre), ec);
    if (ec) return nombre;
    return absoluta.lexically_normal().string();
}

}  // namespace

void LanzarErrorAlAbrir(const std::string& nombre, int error) {
    throw ErrorTavelorin("Cannot open file \"" + RutaCompleta(nombre) + "\". " + DescripcionError(error),
                         ExplicacionFichero(false, error));
}

void LanzarErrorAlCrear(const std::string& nombre, int error) {
    throw ErrorTavelorin("Cannot create file \"" + RutaCompleta(nombre) + "\". " + DescripcionError(error),
                         ExplicacionFichero(true, error));
}

}  // namespace tavelorin
