// Text files read as a stream of lines: decoded and split block by block, so that only
// the lines a reader asks for are read, and endless or huge inputs cost one block and
// the line at hand.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/FuenteLineas.h"
#include "files/Codificacion.h"

namespace tavelorin {

// Bytes as they come from a file, standard input or memory.
class FuenteBytes {
public:
    // Up to n bytes into destino; 0 at the end. Throws ErrorTavelorin on a read error.
    virtual std::size_t Leer(char* destino, std::size_t n) = 0;

protected:
    ~FuenteBytes() = default;
};

// Bytes held in memory, handed out at most trozo at a time.
class BytesEnMemoria final : public FuenteBytes {
public:
    explicit BytesEnMemoria(std::string_view bytes, std::size_t trozo = static_cast<std::size_t>(-1))
        : bytes_(bytes), trozo_(trozo == 0 ? 1 : trozo) {}
    std::size_t Leer(char* destino, std::size_t n) override;

private:
    std::string_view bytes_;
    std::size_t trozo_;
};

// The lines of a text as DividirLineas(DecodificarBytes(bytes)) gives them, read from
// the source only as far as they are asked for: the first bytes choose the encoding, a
// line ends at CR, LF or CR LF, and the first NUL ends the text (nothing after it is
// read). Keeps one block and the line being built. A line longer than a block is
// gathered in pieces and joined once, so it costs at most twice its size; it is refused
// with "Out of memory" when that would not fit in the available memory.
class LectorLineas final : public FuenteLineas {
public:
    static constexpr std::size_t kBloque = std::size_t{1} << 16;

    explicit LectorLineas(FuenteBytes& fuente);
    ~LectorLineas();

    bool Siguiente(std::string& linea) override;

private:
    bool Rellenar();
    void Elegir();
    std::size_t BuscarCorte() const;
    char32_t Unidad(std::size_t posicion) const;
    void AnadirTrozo(std::string& linea, std::size_t hasta, bool final);
    bool Entregar(std::string& linea, bool aunqueVacia);

    FuenteBytes& fuente_;
    std::unique_ptr<char[]> bloque_;
    std::size_t pos_ = 0, fin_ = 0;
    bool agotada_ = false;    // the source has no more bytes
    bool terminado_ = false;  // no more lines (end of the text or its first NUL)
    bool elegida_ = false;
    bool saltarLf_ = false;   // the last line ended in CR: an LF right after belongs to it
    Codificacion codificacion_ = Codificacion::Windows1252;
    std::size_t ancho_ = 1;   // bytes a code unit takes: 1, or 2 in UTF-16
    // A line longer than the block, decoded so far.
    std::vector<std::string> piezas_;
    std::size_t bytesPiezas_ = 0;
    std::size_t proximaComprobacion_ = 0;
};

}  // namespace tavelorin
