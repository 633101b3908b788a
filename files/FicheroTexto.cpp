#include "files/FicheroTexto.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/ErroresFichero.h"
#include "files/ReemplazoAtomico.h"

namespace tavelorin {

namespace {

std::string LeerBytesFichero(const std::string& nombre) {
    const int fd = ::open(nombre.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) LanzarErrorAlAbrir(nombre, errno);
    struct Cierre {
        int fd;
        ~Cierre() { ::close(fd); }
    } cierre{fd};

    struct stat st;
    if (::fstat(fd, &st) != 0) LanzarErrorAlAbrir(nombre, errno);
    if (S_ISDIR(st.st_mode)) LanzarErrorAlAbrir(nombre, EISDIR);

    // The size is only a hint: read until end of file.
    std::string bytes;
    bytes.resize(S_ISREG(st.st_mode) && st.st_size > 0 ? static_cast<std::size_t>(st.st_size) + 1 : 65536);
    std::size_t leidos = 0;
    for (;;) {
        if (leidos == bytes.size()) bytes.resize(bytes.size() * 2);
        const ssize_t r = ::read(fd, bytes.data() + leidos, bytes.size() - leidos);
        if (r < 0) {
            if (errno == EINTR) continue;
            LanzarErrorAlAbrir(nombre, errno);
        }
        if (r == 0) break;
        leidos += static_cast<std::size_t>(r);
    }
    bytes.resize(leidos);
    return bytes;
}

// Collects the encoded output in a fixed block and hands it to the file whenever it
// fills, so no request to the system is larger than a block.
class SalidaFichero final : public SalidaBytes {
public:
    static constexpr std::size_t kTamano = std::size_t{1} << 20;

    explicit SalidaFichero(ReemplazoFichero& fichero) : fichero_(fichero), bloque_(new char[kTamano]) {}

    void Anadir(const char* datos, std::size_t n) override {
        while (n > 0) {
            if (usado_ == kTamano) Vaciar();
            const std::size_t k = std::min(n, kTamano - usado_);
            std::memcpy(bloque_.get() + usado_, datos, k);
            usado_ += k;
            datos += k;
            n -= k;
        }
    }

    void Vaciar() {
        fichero_.Escribir(bloque_.get(), usado_);
        usado_ = 0;
    }

private:
    ReemplazoFichero& fichero_;
    std::unique_ptr<char[]> bloque_;
    std::size_t usado_ = 0;
};

}  // namespace

std::vector<std::string> LeerLineasFichero(const std::string& nombre) {
    return DividirLineas(DecodificarBytes(LeerBytesFichero(nombre)));
}

void EscribirLineasFichero(const std::string& nombre, const std::vector<std::string>& lineas) {
    EscribirLineasFichero(nombre, lineas.size(), [&lineas](std::size_t i) { return lineas[i]; });
}

void EscribirLineasFichero(const std::string& nombre, std::size_t cantidad,
                           const std::function<std::string(std::size_t)>& linea) {
    ReemplazoFichero fichero(nombre);
    SalidaFichero salida(fichero);
    for (std::size_t i = 0; i < cantidad; ++i) {
        CodificarWindows1252En(linea(i), salida);
        salida.Anadir("\r\n", 2);
    }
    salida.Vaciar();
    fichero.Confirmar();
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
