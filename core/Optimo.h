// The sequence of minimum output-rate variation J, by dynamic programming in exact
// integers.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/Calidad.h"
#include "core/Problema.h"

namespace tavelorin {

// The most lattice states the optimum visits: 8 bytes each (16 when a path cost could
// pass 64 bits), 0.8 GB at the limit; runs within it take 2 to 15 s on the machine of
// bench/README.md, depending on the problem's shape.
inline constexpr uint64_t kEstadosMaximos = 100'000'000;

// ∏ (d(i) + 1) over the products with d(i) > 0; saturates at the largest value.
Natural128 EstadosOptimo(const EstadoSecuenciador& estado);

// Throws ErrorTavelorin, with the reason in Spanish, when the optimum of this problem is
// not computed: a negative demand, more states than limite (the message gives both), or
// sums that could leave 128 bits.
void ComprobarOptimo(const EstadoSecuenciador& estado, uint64_t limite = kEstadosMaximos);

struct Optimo {
    Secuencia secuencia;  // the lexicographically smallest sequence of minimum J
    Racional variacion;   // its J, numerator over Q²
    uint64_t estados = 0;
};

// The minimum-J sequence of a problem as LeerProblema leaves it: a shortest path through
// the lattice of unit vectors 0..d, costs in exact integers, ties to the smallest
// product. Checks ComprobarOptimo first; "Out of memory" when the states do not fit.
// When cancelar is set during the run, returns at once with an empty sequence.
Optimo CalcularOptimo(const EstadoSecuenciador& estado, uint64_t limite = kEstadosMaximos,
                      const std::atomic<bool>* cancelar = nullptr);

// The optimum block: "Óptimo:", the sequence one product a line, then J of the optimum,
// J of goal chasing and goal chasing's excess over the optimum in percent.
inline constexpr const char* kLineaOptimo = "Óptimo:";
std::vector<std::string> LineasOptimo(const Optimo& optimo, const Racional& variacionPersecucion,
                                      std::string_view separador);

}  // namespace tavelorin
