// A better sequence than goal chasing's: a bounded dynamic programming over the stages
// (a beam over the count vectors, widened while time is left), a local search over
// moves and swaps of units, and the exact optimum when its lattice fits.
//
// Meant to run on a worker thread: it reads only its arguments, stops soon after the
// cancel flag is set or the time is up (returning the best sequence so far, at worst
// goal chasing's), and reports progress through a callback called on the thread that
// runs it.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Calidad.h"
#include "core/Optimo.h"
#include "core/Problema.h"

namespace tavelorin {

// Where a search is, for a progress display.
struct ProgresoMejora {
    int32_t etapa = 0;    // stage reached by the pass under way, 1..Q; Q at its end; 0 at the start
    int32_t etapas = 0;   // Q
    uint64_t anchura = 0; // width of the pass; 0 while the exact optimum runs
    Racional mejor;       // J of the best complete sequence so far, numerator over Q²
};

// What ranks the states of a stage, besides their cost so far: an estimate of the
// cost still to come (bench/README.md compares them).
enum class EstimacionMejora {
    ninguna,         // the cost so far alone
    etapaActual,     // etapasEstimadas more stages at the child's own stage cost
    etapaSiguiente,  // the least cost of the next stage, O(l) a child
};

struct OpcionesMejora {
    // Time limit in seconds for the bounded search; 0 or less: none. Widths double
    // from 16 while the time allows; without a limit and without a fixed width, up to
    // kAnchuraMejoraSinLimite. Either way they stop at a pass that pruned nothing.
    double segundos = 2.0;
    // Fixed width: one pass at this width, then the local search (deterministic when
    // there is no time limit). 0: widths chosen to fill the time.
    uint64_t anchura = 0;
    // Set from another thread to stop; the call then returns the best sequence so far.
    const std::atomic<bool>* cancelar = nullptr;
    // Called with (width, stage) never going back, ordered by width then stage, and
    // the best J never rising: at the start, at most once each intervaloProgreso
    // seconds within a pass, and at the end of each pass and of the exact optimum.
    std::function<void(const ProgresoMejora&)> progreso;
    double intervaloProgreso = 0.1;
    // The exact optimum runs, in place of the search, when its lattice has at most this
    // many states (0: never). Only the cancel flag stops it, not the time limit: within
    // the default limit it takes up to about 15 s (bench/README.md).
    uint64_t limiteExacto = kEstadosMaximos;
    EstimacionMejora estimacion = EstimacionMejora::etapaActual;
    // How many stages the etapaActual estimate counts the child's stage cost for: a
    // deviation takes several stages to correct (bench/README.md measures 1 to 16).
    // Taken within 0..kEtapasEstimadasMaximas.
    int32_t etapasEstimadas = 4;
    // The local search after each pass.
    bool busquedaLocal = true;
};

inline constexpr uint64_t kAnchuraMejoraSinLimite = 4096;
inline constexpr int32_t kEtapasEstimadasMaximas = 14;

struct Mejora {
    Secuencia secuencia;                // each product p exactly d(p) times
    Racional variacion;                 // its J, numerator over Q²
    Racional variacionPersecucion;      // goal chasing's J
    double excesoPersecucion = 0;       // goal chasing's J over this one's, in percent
    // secuencia has the least J of all: the exact optimum ran, J is 0, or a pass of the
    // search kept every state of every stage.
    bool demostrada = false;
    bool cancelada = false;             // stopped by the cancel flag
    std::vector<uint64_t> anchuras;     // widths of the passes completed, in order
    uint64_t anchuraMejor = 0;          // width of the pass that led to secuencia; 0: none
    uint64_t estadosExacto = 0;         // lattice states of the exact optimum; 0: not run
    uint64_t movimientosLocales = 0;    // improving moves the local search applied
    double segundos = 0;                // wall time of the call
};

// Throws ErrorTavelorin, with the reason in Spanish, when the search refuses a problem
// as LeerProblema leaves it: a negative demand, more than kProductosMejora products with
// positive demand, or usages and demands whose sums could leave 128 bits.
void ComprobarMejora(const EstadoSecuenciador& estado);

// The best sequence found for a problem as LeerProblema leaves it, starting from
// goal chasing's (persecucion, which must hold each product d(p) times). Never worse
// than persecucion. Throws ErrorTavelorin for what ComprobarMejora refuses and for a
// sequence that does not fit the problem.
Mejora MejorarSecuencia(const EstadoSecuenciador& estado, const Secuencia& persecucion,
                        const OpcionesMejora& opciones = {});

// The same from goal chasing's own run of the problem (which needs its stage table).
Mejora MejorarSecuencia(const EstadoSecuenciador& estado, const OpcionesMejora& opciones = {});

inline constexpr int32_t kProductosMejora = 2048;

// The block of the improved sequence: "Mejorada:", one product a line, then J of the
// improved sequence, J of goal chasing, goal chasing's excess in percent and whether
// the sequence is proven optimal; reals as the sequence lines write them.
inline constexpr const char* kLineaMejora = "Mejorada:";
std::vector<std::string> LineasMejora(const Mejora& mejora, std::string_view separador);

// Goal chasing's excess over another J, in percent: exact when both share the
// denominator, +infinity when the other is 0 and goal chasing's is not.
double ExcesoPorcentaje(const Racional& persecucion, const Racional& otra);

}  // namespace tavelorin
