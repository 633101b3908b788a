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
#include "files/SalidaBloques.h"

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

// Bytes a UTF-8 sequence takes, from its first byte (1 for anything else).
std::size_t LargoSecuencia(unsigned char b) { return b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1; }

// The producer's UTF-8 runs, encoded into the blocks and counted. A character cut
// between two runs waits for the rest of its bytes.
class Codificador final : public SalidaTexto {
public:
    Codificador(SalidaBloques& bloques, AvanceEscritura* avance) : bloques_(bloques), avance_(avance) {}

    void Anadir(const char* utf8, std::size_t n) override {
        if (avance_ != nullptr) avance_->hechos.fetch_add(n, std::memory_order_relaxed);
        std::string_view resto(utf8, n);
        if (!pendiente_.empty()) {
            // The bytes the character cut last time still lacks (continuation bytes only).
            const std::size_t falta = LargoSecuencia(static_cast<unsigned char>(pendiente_[0])) - pendiente_.size();
            std::size_t k = 0;
            while (k < falta && k < resto.size() && (static_cast<unsigned char>(resto[k]) & 0xC0) == 0x80) ++k;
            pendiente_.append(resto.substr(0, k));
            resto.remove_prefix(k);
            if (k < falta && resto.empty()) return;  // still cut
            CodificarWindows1252En(pendiente_, bloques_);
            pendiente_.clear();
        }
        // A last character whose bytes run past the end waits.
        std::size_t corte = resto.size();
        for (std::size_t atras = 1; atras <= 3 && atras <= resto.size(); ++atras) {
            const unsigned char b = static_cast<unsigned char>(resto[resto.size() - atras]);
            if ((b & 0xC0) == 0x80) continue;
            if (b >= 0xC0 && LargoSecuencia(b) > atras) corte = resto.size() - atras;
            break;
        }
        CodificarWindows1252En(resto.substr(0, corte), bloques_);
        pendiente_.assign(resto.substr(corte));
    }

    // A character left cut at the end is encoded as it is.
    void Terminar() {
        if (!pendiente_.empty()) CodificarWindows1252En(pendiente_, bloques_);
        pendiente_.clear();
    }

private:
    SalidaBloques& bloques_;
    AvanceEscritura* avance_;
    std::string pendiente_;
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
    // The stop is looked at between blocks.
    SalidaBloques bloques(fichero, [avance] {
        if (avance != nullptr && avance->cancelar.load(std::memory_order_relaxed)) throw Parada{};
    });
    Codificador salida(bloques, avance);
    try {
        producir(salida);
        salida.Terminar();
        bloques.Vaciar();
    } catch (const Parada&) {
        return false;  // the temporary file goes with the replace; the old file stays
    }
    fichero.Confirmar();
    return true;
}

}  // namespace tavelorin
