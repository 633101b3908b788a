#include "files/LectorLineas.h"

#include <algorithm>
#include <cstring>

#include "core/Memoria.h"

namespace tavelorin {

namespace {

// A line that grows past this size is checked against the available memory, and again
// at each doubling.
constexpr std::size_t kPrimeraComprobacion = std::size_t{8} << 20;
constexpr std::size_t kNinguno = static_cast<std::size_t>(-1);

}  // namespace

std::size_t BytesEnMemoria::Leer(char* destino, std::size_t n) {
    const std::size_t k = std::min({n, trozo_, bytes_.size()});
    std::memcpy(destino, bytes_.data(), k);
    bytes_.remove_prefix(k);
    return k;
}

LectorLineas::LectorLineas(FuenteBytes& fuente) : fuente_(fuente), bloque_(new char[kBloque]) {}

LectorLineas::~LectorLineas() = default;

// Keeps the bytes not used yet (a few at most) at the front and reads after them.
bool LectorLineas::Rellenar() {
    if (agotada_) return false;
    const std::size_t quedan = fin_ - pos_;
    if (quedan > 0 && pos_ > 0) std::memmove(bloque_.get(), bloque_.get() + pos_, quedan);
    pos_ = 0;
    fin_ = quedan;
    const std::size_t leidos = fuente_.Leer(bloque_.get() + fin_, kBloque - fin_);
    if (leidos == 0) {
        agotada_ = true;
        return false;
    }
    fin_ += leidos;
    return true;
}

void LectorLineas::Elegir() {
    while (PuedeSerMarca(std::string_view(bloque_.get() + pos_, fin_ - pos_)) && Rellenar()) {
    }
    std::size_t marca;
    codificacion_ = ElegirCodificacion(std::string_view(bloque_.get() + pos_, fin_ - pos_), marca);
    pos_ += marca;
    ancho_ = codificacion_ == Codificacion::Utf16LE || codificacion_ == Codificacion::Utf16BE ? 2 : 1;
    elegida_ = true;
}

char32_t LectorLineas::Unidad(std::size_t posicion) const {
    const auto* b = reinterpret_cast<const unsigned char*>(bloque_.get()) + posicion;
    if (ancho_ == 1) return b[0];
    return codificacion_ == Codificacion::Utf16BE ? (char32_t{b[0]} << 8) | b[1] : (char32_t{b[1]} << 8) | b[0];
}

// The first CR, LF or NUL among the whole code units at hand.
std::size_t LectorLineas::BuscarCorte() const {
    if (ancho_ == 1) {
        const auto* b = reinterpret_cast<const unsigned char*>(bloque_.get());
        for (std::size_t p = pos_; p < fin_; ++p) {
            const unsigned char c = b[p];
            if (c <= '\r' && (c == '\r' || c == '\n' || c == 0)) return p;
        }
        return kNinguno;
    }
    for (std::size_t p = pos_; p + 2 <= fin_; p += 2) {
        const char32_t u = Unidad(p);
        if (u <= '\r' && (u == '\r' || u == '\n' || u == 0)) return p;
    }
    return kNinguno;
}

// Decodes the bytes from pos_ up to hasta into the line. final: the line ends there.
// Otherwise the bytes go to a piece, and a character cut by the block's end waits.
void LectorLineas::AnadirTrozo(std::string& linea, std::size_t hasta, bool final) {
    const std::string_view bytes(bloque_.get() + pos_, hasta - pos_);
    if (final && piezas_.empty()) {
        AnadirDecodificado(linea, bytes, codificacion_, true);
        pos_ = hasta;
        return;
    }
    std::string pieza;
    pos_ += AnadirDecodificado(pieza, bytes, codificacion_, final);
    bytesPiezas_ += pieza.size();
    if (!final) {
        if (!pieza.empty()) piezas_.push_back(std::move(pieza));
        if (bytesPiezas_ >= proximaComprobacion_) {
            // The pieces, and the line they will be joined into.
            ComprobarMemoria(2 * static_cast<uint64_t>(bytesPiezas_));
            proximaComprobacion_ *= 2;
        }
        return;
    }
    if (bytesPiezas_ >= kPrimeraComprobacion) ComprobarMemoria(bytesPiezas_);
    linea.reserve(bytesPiezas_);
    for (std::string& p : piezas_) {
        linea.append(p);
        std::string().swap(p);
    }
    linea.append(pieza);
    piezas_.clear();
    bytesPiezas_ = 0;
}

bool LectorLineas::Siguiente(std::string& linea) {
    linea.clear();
    piezas_.clear();
    bytesPiezas_ = 0;
    proximaComprobacion_ = kPrimeraComprobacion;
    if (terminado_) return false;
    if (!elegida_) Elegir();
    for (;;) {
        if (fin_ - pos_ < ancho_) {
            if (Rellenar()) continue;
            // The end: the last line, without a break (a lone odd byte at most).
            AnadirTrozo(linea, fin_, true);
            terminado_ = true;
            return !linea.empty();
        }
        if (saltarLf_) {
            saltarLf_ = false;
            if (Unidad(pos_) == '\n') {
                pos_ += ancho_;
                continue;
            }
        }
        const std::size_t corte = BuscarCorte();
        if (corte == kNinguno) {
            AnadirTrozo(linea, fin_ - (fin_ - pos_) % ancho_, false);
            if (!Rellenar()) {
                AnadirTrozo(linea, fin_, true);
                terminado_ = true;
                return !linea.empty();
            }
            continue;
        }
        const char32_t unidad = Unidad(corte);
        AnadirTrozo(linea, corte, true);
        pos_ = corte + ancho_;
        if (unidad == 0) {
            // The text ends at its first NUL; nothing after it is read.
            terminado_ = true;
            return !linea.empty();
        }
        saltarLf_ = unidad == '\r';
        return true;
    }
}

}  // namespace tavelorin
