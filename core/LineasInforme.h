// The report of a run as lines produced on demand from its stage table: the header, one
// line a stage, "Solucion:" and the sequence, byte for byte the text of formatting every
// cell of the square table (Informe.h).
//
// A line of the header or of a stage has three parts: its head (K and the distances,
// each followed by a tab), its middle (the Q sequence cells, each followed by a tab) and
// its tail (consumption, units and ideal, separated by tabs). The middle of stage k is
// the choices of stages 1..k followed by Q - k zeros, so it is a prefix of the text of
// the final sequence followed by "0\t" repeated: any part of a line of millions of
// characters is produced without the rest. The other lines are a head alone.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/Problema.h"
#include "core/TextoReal.h"

namespace tavelorin {

class LineasInforme {
public:
    enum class Tipo { Cabecera, Etapa, Solucion, Secuencia };

    LineasInforme() = default;  // no lines
    // Shares the table's data; the table must be one a run of the stages has completed.
    LineasInforme(const TablaEtapas& tabla, std::string_view separador);

    const TablaEtapas& Tabla() const { return tabla_; }
    const std::string& Separador() const { return formato_.separador; }
    int32_t Etapas() const { return q_; }
    // 2Q + 2: the header, Q stage lines, "Solucion:" and Q sequence lines; 0 without a run.
    int64_t Cantidad() const { return q_ > 0 ? 2 * static_cast<int64_t>(q_) + 2 : 0; }
    Tipo TipoDe(int64_t i) const;
    // The stage of line i (1..Q) for a stage line, the position in the sequence (1..Q)
    // for a sequence line, 0 otherwise.
    int32_t EtapaDe(int64_t i) const;

    // --- The parts of a line ---
    // Appends the head; for lines without a middle, the whole line.
    void AnadirCabeza(int64_t i, std::string& destino) const;
    // Appends the tail (empty for lines without a middle).
    void AnadirCola(int64_t i, std::string& destino) const;
    // Cells of the middle: Q for the header and the stage lines, 0 for the rest.
    int64_t CeldasMedio(int64_t i) const;
    // Where cell c (0-based; c = CeldasMedio is the end) starts in the middle, in bytes.
    int64_t InicioCelda(int64_t i, int64_t c) const;
    int64_t LargoMedio(int64_t i) const { return InicioCelda(i, CeldasMedio(i)); }
    // The cell that holds byte d of the middle (0 <= d < LargoMedio).
    int64_t CeldaEn(int64_t i, int64_t d) const;
    // Appends bytes [desde, hasta) of the middle.
    void AnadirMedio(int64_t i, int64_t desde, int64_t hasta, std::string& destino) const;
    // For a stage line, the product in cell c of its middle (0 past its stage); for the
    // header, -1.
    int32_t ProductoEnCelda(int64_t i, int64_t c) const;
    // The report text of product p (0..n) in a sequence cell.
    const std::string& TextoProducto(int32_t p) const { return textoProducto_[static_cast<size_t>(p)]; }
    // The label of header cell c (0-based): "s" and c + 1.
    static void AnadirRotulo(int64_t c, std::string& destino);

    // --- Whole lines and pieces ---
    int64_t Longitud(int64_t i) const;
    void AnadirLinea(int64_t i, std::string& destino) const;
    std::string Linea(int64_t i) const;
    // Appends bytes [desde, hasta) of line i, clamped to the line.
    void AnadirTramo(int64_t i, int64_t desde, int64_t hasta, std::string& destino) const;

    // Hands lines [desde, hasta) to escribir(const char* datos, size_t n) as runs of bytes,
    // each line followed by fin, without building the long ones whole.
    template <typename Escribir>
    void EscribirLineas(int64_t desde, int64_t hasta, std::string_view fin, Escribir&& escribir) const {
        std::string pieza;
        for (int64_t i = desde; i < hasta; ++i) {
            pieza.clear();
            AnadirCabeza(i, pieza);
            const int64_t celdas = CeldasMedio(i);
            if (celdas > 0) {
                if (TipoDe(i) == Tipo::Etapa) {
                    const int64_t k = EtapaDe(i);
                    escribir(pieza.data(), pieza.size());
                    escribir(secuencia_.data(), static_cast<size_t>(hechos_[static_cast<size_t>(k)]));
                    escribir(ceros_.data(), static_cast<size_t>(2 * (q_ - k)));
                } else {
                    const int64_t largo = LargoMedio(i);
                    for (int64_t d = 0; d < largo; d += kTrozo) {
                        AnadirMedio(i, d, std::min(largo, d + kTrozo), pieza);
                        escribir(pieza.data(), pieza.size());
                        pieza.clear();
                    }
                }
                pieza.clear();
                AnadirCola(i, pieza);
            }
            pieza.append(fin);
            escribir(pieza.data(), pieza.size());
        }
    }

    // Bytes of lines [desde, hasta), each followed by largoFin bytes.
    uint64_t Bytes(int64_t desde, int64_t hasta, int64_t largoFin) const;

private:
    static constexpr int64_t kTrozo = int64_t{1} << 16;

    TablaEtapas tabla_;
    FormatoReal formato_{4, 4, "."};
    FormatoReal formatoSecuencia_{15, 0, "."};
    int32_t q_ = 0;
    std::vector<std::string> textoProducto_;  // n + 1
    std::string secuencia_;                   // the final sequence's cells, each followed by a tab
    std::vector<int64_t> hechos_;             // Q + 1: bytes of the first c cells of secuencia_
    std::string ceros_;                       // "0\t" Q times
};

}  // namespace tavelorin
