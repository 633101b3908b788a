// The parts of the better-sequence search: the problem in the integer form the search
// works in, the time and cancel control, the beam over the count vectors and the local
// search. Instantiated for int64_t, when every sum fits, and for Entero128.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "core/Mejora.h"

namespace tavelorin::detalle {

using Reloj = std::chrono::steady_clock;

// splitmix64.
inline uint64_t Mezclar(uint64_t& s) {
    uint64_t z = (s += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// The deadline, the cancel flag and the progress calls of one search.
class Control {
public:
    Control(const OpcionesMejora& opciones, int32_t etapas);
    bool Cancelado() const { return cancelar_ != nullptr && cancelar_->load(std::memory_order_relaxed); }
    bool ConLimite() const { return conLimite_; }
    // Cancelled or out of time.
    bool Parar() const { return Cancelado() || (conLimite_ && Reloj::now() >= limite_); }
    double Restante() const;
    // Calls the callback when siempre, or when intervaloProgreso has passed since the last call.
    void Informar(int32_t etapa, uint64_t anchura, const Racional& mejor, bool siempre);

private:
    const std::atomic<bool>* cancelar_;
    const std::function<void(const ProgresoMejora&)>* progreso_;
    bool conLimite_;
    Reloj::time_point limite_;
    Reloj::duration intervalo_;
    Reloj::time_point ultimo_{};
    int32_t etapas_;
};

// The products with positive demand, numbered 0..l−1 in the order of their numbers.
// The stage cost of a count vector x is xᵀGx = Σ_j (Q·X(j) − k·N(j))².
template <typename T>
struct Modelo {
    int32_t l = 0;
    int32_t q = 0;
    std::vector<int32_t> productos;  // product numbers
    std::vector<int32_t> d;
    std::vector<T> G;                // l × l, symmetric
    std::vector<T> diagonal;
    std::vector<uint64_t> clave;     // a count vector's key is Σ x(i)·clave(i), mod 2^64

    const T* Fila(int32_t i) const { return G.data() + static_cast<size_t>(i) * static_cast<size_t>(l); }
};

// One pass of the bounded dynamic programming at a given width.
template <typename T>
class Haz {
public:
    // etapas: how many stages the etapaActual estimate counts (0..kEtapasEstimadasMaximas).
    Haz(const Modelo<T>& modelo, EstimacionMejora estimacion, int32_t etapas);
    ~Haz();
    Haz(const Haz&) = delete;
    Haz& operator=(const Haz&) = delete;
    // The widest pass whose memory fits the budget.
    uint64_t AnchuraMaxima() const;
    // Runs stages 1..Q keeping at most anchura states a stage; fills secuencia (product
    // indices) and its cost Q²·J, and exacta when no stage had more states than that
    // (the pass was then the whole dynamic programming: secuencia is optimal). Under a
    // time limit, the stages left narrow when the pass would not end in time (widening
    // again, up to anchura, when it would end early); anchuraMedia is the mean over the
    // stages of the width in force. false, with nothing filled, when stopped first.
    bool Pasada(uint64_t anchura, Control& control, const Racional& mejor, std::vector<int32_t>& secuencia,
                T& coste, bool& exacta, double& anchuraMedia);

private:
    struct Espacio;  // the buffers of a pass, kept from one pass to the next
    const Modelo<T>& m_;
    EstimacionMejora estimacion_;
    int32_t etapas_;
    std::unique_ptr<Espacio> espacio_;
};

// Moves of a unit to another stage and swaps of two units, each priced in O(1).
template <typename T>
class Local {
public:
    explicit Local(const Modelo<T>& modelo);
    // Whether the per-stage arrays fit the memory budget.
    bool Cabe() const;
    // Applies improving moves until none is left or the control stops it; returns how many.
    uint64_t Mejorar(std::vector<int32_t>& secuencia, T& coste, Control& control);

private:
    void Recalcular(int32_t desde);
    // Applies the best move of each stage in turn, from desde, until a round of all Q
    // stages finds none or the control stops it.
    uint64_t Descender(Control& control, int32_t desde);
    bool MejorMovimiento(int32_t i, T& delta, int32_t& tipo, int32_t& j) const;

    const Modelo<T>& m_;
    size_t fila_ = 0;               // Q + 2
    std::vector<int32_t> s_;        // stage k's product at k − 1
    std::vector<T> g_;              // (Q + 1) × l: G·x after k stages
    std::vector<T> c_;              // Q + 1: the stage costs, c(0) = 0
    std::vector<T> suma_;           // l × (Q + 2): suma(p, k + 1) = Σ_{t ≤ k} g(t, p)
    T coste_ = 0;
};

}  // namespace tavelorin::detalle
