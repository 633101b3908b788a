#include "files/FicheroTexto.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <filesystem>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/Errores.h"
#include "core/Memoria.h"
#include "files/ErroresFichero.h"
#include "files/ReemplazoAtomico.h"
#include "files/SalidaBloques.h"

namespace tavelorin {

FicheroEntrada::FicheroEntrada(const std::string& nombre) : nombre_(nombre) {
    // The kind is checked before opening, so that a FIFO or a device is never opened,
    // and again on the open file, in case the name changed in between. O_NONBLOCK keeps
    // that open from waiting for a FIFO's writer.
    struct stat st;
    auto comprobar = [&] {
        if (S_ISDIR(st.st_mode)) LanzarErrorAlAbrir(nombre_, EISDIR);
        if (!S_ISREG(st.st_mode)) LanzarNoEsFicheroNormal(nombre_, st.st_mode);
    };
    if (::stat(nombre_.c_str(), &st) != 0) LanzarErrorAlAbrir(nombre_, errno);
    comprobar();
    fd_ = ::open(nombre_.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd_ < 0) LanzarErrorAlAbrir(nombre_, errno);
    try {
        if (::fstat(fd_, &st) != 0) LanzarErrorAlAbrir(nombre_, errno);
        comprobar();
        const int banderas = ::fcntl(fd_, F_GETFL);
        if (banderas < 0 || ::fcntl(fd_, F_SETFL, banderas & ~O_NONBLOCK) != 0) LanzarErrorAlAbrir(nombre_, errno);
    } catch (...) {
        ::close(fd_);
        throw;
    }
}

FicheroEntrada FicheroEntrada::EntradaEstandar() { return FicheroEntrada(STDIN_FILENO, std::string()); }

FicheroEntrada::~FicheroEntrada() {
    if (!nombre_.empty()) ::close(fd_);
}

std::size_t FicheroEntrada::Leer(char* destino, std::size_t n) {
    for (;;) {
        const ssize_t r = ::read(fd_, destino, n);
        if (r >= 0) return static_cast<std::size_t>(r);
        if (errno == EINTR) continue;
        if (nombre_.empty()) throw ErrorTavelorin("Cannot open file \"-\". " + DescripcionError(errno));
        LanzarErrorAlAbrir(nombre_, errno);
    }
}

std::vector<std::string> LeerLineasFichero(const std::string& nombre) {
    LineasDeFichero fichero(nombre);
    std::vector<std::string> lineas;
    std::string linea;
    uint64_t bytes = 0;
    while (fichero.Siguiente(linea)) {
        if (lineas.size() == lineas.capacity() && lineas.size() >= (std::size_t{1} << 16))
            // The list doubles: its new block beside the old one, and the texts.
            ComprobarMemoria(3 * lineas.size() * sizeof(std::string) + bytes);
        bytes += linea.size() > 15 ? linea.size() + 1 : 0;
        lineas.push_back(linea);
    }
    return lineas;
}

void EscribirLineasFichero(const std::string& nombre, const std::vector<std::string>& lineas) {
    EscribirLineasFichero(nombre, lineas.size(), [&lineas](std::size_t i) { return lineas[i]; });
}

void EscribirLineasFichero(const std::string& nombre, std::size_t cantidad,
                           const std::function<std::string(std::size_t)>& linea) {
    ReemplazoFichero fichero(nombre);
    SalidaBloques salida(fichero);
    for (std::size_t i = 0; i < cantidad; ++i) {
        CodificarWindows1252En(linea(i), salida);
        salida.Anadir("\r\n", 2);
    }
    salida.Vaciar();
    fichero.Confirmar();
}

bool MismoFichero(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty()) return false;
    struct stat sa, sb;
    const bool existeA = ::stat(a.c_str(), &sa) == 0;
    const bool existeB = ::stat(b.c_str(), &sb) == 0;
    if (existeA && existeB) return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    if (existeA != existeB) return false;
    // Neither exists yet: the same absolute path once its folders' links are resolved.
    std::error_code error;
    const std::filesystem::path ca = std::filesystem::weakly_canonical(std::filesystem::absolute(a, error), error);
    if (error) return a == b;
    const std::filesystem::path cb = std::filesystem::weakly_canonical(std::filesystem::absolute(b, error), error);
    if (error) return a == b;
    return ca == cb;
}

std::string NombreSolucionPropuesto(const std::string& ficheroProblema) {
    if (ficheroProblema.empty()) return "sol";
    const std::size_t barra = ficheroProblema.rfind('/');
    const std::size_t inicioNombre = barra == std::string::npos ? 0 : barra + 1;
    const std::size_t punto = ficheroProblema.rfind('.');
    // A leading "." (a hidden file) starts the name, not an extension.
    const bool conExtension = punto != std::string::npos && punto > inicioNombre;
    std::string propuesto = (conExtension ? ficheroProblema.substr(0, punto) : ficheroProblema) + ".sol";
    if (propuesto == ficheroProblema) propuesto += ".sol";
    return propuesto;
}

}  // namespace tavelorin
