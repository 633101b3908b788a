#include "files/EscrituraPorPartes.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

#include <sys/stat.h>
#include <sys/statvfs.h>

#include "core/Errores.h"
#include "files/Codificacion.h"
#include "files/ReemplazoAtomico.h"

namespace tavelorin {

namespace {

namespace fs = std::filesystem;

std::function<uint64_t(const std::string&)>& Fuente() {
    static std::function<uint64_t(const std::string&)> fuente;
    return fuente;
}

std::string RutaCompleta(const std::string& nombre) {
    std::error_code ec;
    const fs::path absoluta = fs::absolute(fs::path(nombre), ec);
    return ec ? nombre : absoluta.lexically_normal().string();
}

// Thrown from inside the producer when the write is stopped.
struct Parada {};

// Encoded bytes collected in a block that goes to the file whenever it fills; the stop
// is looked at between blocks.
class SalidaBloques final : public SalidaBytes {
public:
    static constexpr std::size_t kTamano = std::size_t{1} << 20;

    SalidaBloques(ReemplazoFichero& fichero, AvanceEscritura* avance)
        : fichero_(fichero), avance_(avance), bloque_(new char[kTamano]) {}

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
        if (avance_ != nullptr && avance_->cancelar.load(std::memory_order_relaxed)) throw Parada{};
        fichero_.Escribir(bloque_.get(), usado_);
        usado_ = 0;
    }

private:
    ReemplazoFichero& fichero_;
    AvanceEscritura* avance_;
    std::unique_ptr<char[]> bloque_;
    std::size_t usado_ = 0;
};

// The producer's UTF-8 runs, encoded into the blocks and counted.
class Codificador final : public SalidaTexto {
public:
    Codificador(SalidaBloques& bloques, AvanceEscritura* avance) : bloques_(bloques), avance_(avance) {}

    void Anadir(const char* utf8, std::size_t n) override {
        CodificarWindows1252En(std::string_view(utf8, n), bloques_);
        if (avance_ != nullptr) avance_->hechos.fetch_add(n, std::memory_order_relaxed);
    }

private:
    SalidaBloques& bloques_;
    AvanceEscritura* avance_;
};

}  // namespace

uint64_t EspacioLibre(const std::string& nombre) {
    if (Fuente()) return Fuente()(nombre);
    // The folder the file is in (or would be in).
    fs::path carpeta = fs::path(nombre).parent_path();
    if (carpeta.empty()) carpeta = ".";
    struct statvfs vfs;
    if (::statvfs(carpeta.c_str(), &vfs) != 0) return UINT64_MAX;
    return static_cast<uint64_t>(vfs.f_bavail) * static_cast<uint64_t>(vfs.f_frsize);
}

void EstablecerFuenteEspacio(std::function<uint64_t(const std::string&)> fuente) { Fuente() = std::move(fuente); }

std::string TextoTamano(uint64_t bytes, bool redondearArriba) {
    constexpr uint64_t kMB = uint64_t{1} << 20;
    const uint64_t unidad = bytes >= 10 * (kMB << 10) ? (kMB << 10) : kMB;
    const uint64_t cuantas = redondearArriba ? bytes / unidad + (bytes % unidad != 0) : bytes / unidad;
    return std::to_string(cuantas) + (unidad == kMB ? " MB" : " GB");
}

void ComprobarEspacio(const std::string& nombre, uint64_t bytes) {
    struct stat st;
    // A device or a pipe is written into as it is: there is nothing to compare with.
    if (::stat(nombre.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return;
    const uint64_t libre = EspacioLibre(nombre);
    if (libre == UINT64_MAX || bytes <= libre) return;
    throw ErrorTavelorin("No hay espacio para guardar \"" + RutaCompleta(nombre) + "\": hacen falta " +
                         TextoTamano(bytes, true) + " y quedan " + TextoTamano(libre, false) + " libres");
}

bool EscribirFicheroPorPartes(const std::string& nombre, uint64_t bytes, const std::function<void(SalidaTexto&)>& producir,
                              AvanceEscritura* avance) {
    ComprobarEspacio(nombre, bytes);
    if (avance != nullptr) avance->total.store(bytes, std::memory_order_relaxed);
    ReemplazoFichero fichero(nombre);
    SalidaBloques bloques(fichero, avance);
    Codificador salida(bloques, avance);
    try {
        producir(salida);
        bloques.Vaciar();
    } catch (const Parada&) {
        return false;  // the temporary file goes with the replace; the old file stays
    }
    fichero.Confirmar();
    return true;
}

}  // namespace tavelorin
