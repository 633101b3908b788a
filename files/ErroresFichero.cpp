#include "files/ErroresFichero.h"

#include <cstring>
#include <filesystem>
#include <system_error>

#include <locale.h>
#include <sys/stat.h>
#include <string.h>

#include "core/Errores.h"
#include "core/Explicaciones.h"

namespace tavelorin {

namespace {

std::string RutaCompleta(const std::string& nombre) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path absoluta = fs::absolute(fs::path(nombre), ec);
    if (ec) return nombre;
    return absoluta.lexically_normal().string();
}

// What a file that is not a regular file is, for the message that refuses it.
const char* ClaseDeFichero(mode_t modo) {
    if (S_ISFIFO(modo)) return "una tubería con nombre (FIFO)";
    if (S_ISSOCK(modo)) return "un socket";
    if (S_ISCHR(modo)) return "un dispositivo de caracteres";
    if (S_ISBLK(modo)) return "un dispositivo de bloques";
    return "un archivo especial";
}

}  // namespace

std::string DescripcionError(int error) {
    static const locale_t localeC = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    if (localeC != static_cast<locale_t>(0)) return strerror_l(error, localeC);
    return std::strerror(error);
}

void LanzarNoEsFicheroNormal(const std::string& nombre, mode_t modo) {
    throw ErrorTavelorin("No se puede abrir \"" + RutaCompleta(nombre) + "\": es " + ClaseDeFichero(modo) +
                         ", no un archivo normal");
}

void LanzarErrorAlAbrir(const std::string& nombre, int error) {
    throw ErrorTavelorin("Cannot open file \"" + RutaCompleta(nombre) + "\". " + DescripcionError(error),
                         ExplicacionFichero(false, error));
}

void LanzarErrorAlCrear(const std::string& nombre, int error) {
    throw ErrorTavelorin("Cannot create file \"" + RutaCompleta(nombre) + "\". " + DescripcionError(error),
                         ExplicacionFichero(true, error));
}

}  // namespace tavelorin
