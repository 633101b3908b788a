// The local search: a unit moved from stage i to stage j, or two units swapped. With
// g(k) = G·x(k) and c(k) = x(k)ᵀG x(k) along the sequence and the running sums
// S(p, k) = Σ_{t ≤ k} g(t, p), each change of J is O(1):
//   p at i moved after j > i:  c(j) − c(i) − 2·(S(p, j) − S(p, i)) + (j − i)·G(p,p)
//   p at i moved before j < i: c(j−1) − c(i−1) + 2·(S(p, i−2) − S(p, j−2)) + (i − j)·G(p,p)
//   p at i and q at j > i swapped:
//                              2·(S(q, j−1) − S(q, i−1) − S(p, j−1) + S(p, i−1))
//                              + (j − i)·(G(p,p) + G(q,q) − 2·G(p,q))
// since stage k of the new sequence is x(k+1) − e(p), x(k−1) + e(p) or x(k) − e(p) + e(q)
// and c(y ± e) = c(y) ± 2·(G·y)(p) + G(p,p).
#include <algorithm>
#include <stdexcept>

#include "core/Memoria.h"
#include "core/MejoraBusqueda.h"

namespace tavelorin::detalle {

namespace {

// Bytes the per-stage arrays may take.
constexpr uint64_t kMemoriaLocal = uint64_t{256} << 20;
// Farthest a unit moves in one step.
constexpr int32_t kAlcance = 1024;

enum Tipo : int32_t { kAdelante, kAtras, kCambio };

}  // namespace

template <typename T>
Local<T>::Local(const Modelo<T>& modelo) : m_(modelo), fila_(static_cast<size_t>(modelo.q) + 2) {}

template <typename T>
bool Local<T>::Cabe() const {
    const uint64_t l = static_cast<uint64_t>(m_.l);
    const uint64_t bytes = (2 * l + 1) * static_cast<uint64_t>(fila_) * sizeof(T);
    return bytes <= kMemoriaLocal && bytes <= MemoriaDisponible() / 2;
}

template <typename T>
void Local<T>::Recalcular(int32_t desde) {
    const size_t l = static_cast<size_t>(m_.l);
    const int32_t q = m_.q;
    if (g_.empty()) {
        g_.assign((static_cast<size_t>(q) + 1) * l, T(0));
        c_.assign(static_cast<size_t>(q) + 1, T(0));
        suma_.assign(l * fila_, T(0));
        desde = 1;
    }
    for (int32_t k = desde; k <= q; ++k) {
        const size_t p = static_cast<size_t>(s_[static_cast<size_t>(k - 1)]);
        const T* ga = g_.data() + static_cast<size_t>(k - 1) * l;
        T* gb = g_.data() + static_cast<size_t>(k) * l;
        const T* fila = m_.Fila(static_cast<int32_t>(p));
        for (size_t t = 0; t < l; ++t) gb[t] = ga[t] + fila[t];
        c_[static_cast<size_t>(k)] = c_[static_cast<size_t>(k - 1)] + T(2) * ga[p] + m_.diagonal[p];
    }
    for (size_t p = 0; p < l; ++p) {
        T* suma = suma_.data() + p * fila_;
        for (int32_t k = desde; k <= q; ++k) suma[k + 1] = suma[k] + g_[static_cast<size_t>(k) * l + p];
    }
    coste_ = 0;
    for (int32_t k = 1; k <= q; ++k) coste_ += c_[static_cast<size_t>(k)];
}

template <typename T>
bool Local<T>::MejorMovimiento(int32_t i, T& delta, int32_t& tipo, int32_t& j) const {
    const int32_t q = m_.q;
    const size_t p = static_cast<size_t>(s_[static_cast<size_t>(i - 1)]);
    const T* sp = suma_.data() + p * fila_;
    const T* c = c_.data();
    const T gpp = m_.diagonal[p];
    const T* filaP = m_.Fila(static_cast<int32_t>(p));
    delta = 0;
    const int32_t hasta = std::min(q, i + kAlcance);
    for (int32_t k = i + 1; k <= hasta; ++k) {
        const T v = c[k] - c[i] - T(2) * (sp[k + 1] - sp[i + 1]) + T(k - i) * gpp;
        if (v < delta) {
            delta = v;
            tipo = kAdelante;
            j = k;
        }
    }
    for (int32_t k = std::max(1, i - kAlcance); k < i; ++k) {
        const T v = c[k - 1] - c[i - 1] + T(2) * (sp[i - 1] - sp[k - 1]) + T(i - k) * gpp;
        if (v < delta) {
            delta = v;
            tipo = kAtras;
            j = k;
        }
    }
    for (int32_t k = i + 1; k <= hasta; ++k) {
        const size_t r = static_cast<size_t>(s_[static_cast<size_t>(k - 1)]);
        if (r == p) continue;
        const T* sr = suma_.data() + r * fila_;
        const T v = T(2) * ((sr[k] - sr[i]) - (sp[k] - sp[i])) + T(k - i) * (gpp + m_.diagonal[r] - T(2) * filaP[r]);
        if (v < delta) {
            delta = v;
            tipo = kCambio;
            j = k;
        }
    }
    return delta < 0;
}

template <typename T>
uint64_t Local<T>::Descender(Control& control, int32_t desde) {
    const int32_t q = m_.q;
    uint64_t aplicados = 0;
    int32_t sinMejora = 0;
    int32_t i = std::clamp(desde, 1, q);
    while (sinMejora < q) {
        if (control.Parar()) break;
        T delta = 0;
        int32_t tipo = kAdelante, j = i;
        if (MejorMovimiento(i, delta, tipo, j)) {
            const auto s = s_.begin();
            int32_t cambio = i;
            if (tipo == kAdelante) {
                std::rotate(s + (i - 1), s + i, s + j);
            } else if (tipo == kAtras) {
                std::rotate(s + (j - 1), s + (i - 1), s + i);
                cambio = j;
            } else {
                std::iter_swap(s + (i - 1), s + (j - 1));
            }
            const T antes = coste_;
            Recalcular(cambio);
            if (coste_ != antes + delta) throw std::logic_error("búsqueda local: el coste no cuadra");
            ++aplicados;
            sinMejora = 0;
        } else {
            ++sinMejora;
        }
        i = i % q + 1;
    }
    return aplicados;
}

template <typename T>
uint64_t Local<T>::Mejorar(std::vector<int32_t>& secuencia, T& coste, Control& control) {
    s_ = secuencia;
    g_.clear();
    Recalcular(1);
    const uint64_t aplicados = Descender(control, 1);
    secuencia = s_;
    coste = coste_;
    return aplicados;
}

template class Local<int64_t>;
template class Local<Entero128>;

}  // namespace tavelorin::detalle
