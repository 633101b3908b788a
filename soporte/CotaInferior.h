// A proven lower bound of J, to tell how far a search's result can still be from the
// optimum on problems beyond the exact lattice.
//
// Write a(p) = Q·b(p) − N, so that the stage cost of a count vector x (Σx = k) is
// |Σ x(p)·a(p)|² / Q². Splitting the stages 1..Q−1 into blocks of L consecutive stages,
// J* ≥ Σ over blocks of the least cost of a monotone path of L count vectors: the
// optimal sequence crosses every block along one such path. A block's least cost is
// found by dynamic programming over the count vectors that can lie on a path cheaper
// than a given sequence's own path there: the cost of x at stage k may exceed the
// stage's least cost by at most that path's cost minus the block's sum of least costs.
// The count vectors of a stage below a cost are enumerated exactly (sphere
// enumeration over the Cholesky factor of the Gram matrix, products eliminated by
// Σx = k, demands as bounds). L = 1 gives the sum of each stage's least cost; a block
// covering every stage gives the optimum itself.
//
// Floating point throughout; enumeration limits are widened by a relative 1e-9 and the
// result lowered by the same, which covers the rounding by many orders of magnitude.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <optional>
#include <unordered_map>
#include <vector>

#include "core/Calidad.h"
#include "core/Problema.h"

namespace tavelorin::bench {

struct CotaInferior {
    double porEtapa = 0;     // Σ_k least cost of stage k (L = 1)
    double porBloques = 0;   // the block bound
    double referencia = 0;   // J of the sequence given
    uint64_t vectores = 0;   // count vectors enumerated
};

namespace detalle_cota {

struct Clave {
    size_t operator()(const std::vector<int32_t>& v) const {
        uint64_t h = 1469598103934665603ULL;
        for (const int32_t x : v) h = (h ^ static_cast<uint32_t>(x)) * 1099511628211ULL;
        return static_cast<size_t>(h);
    }
};

class Etapas {
public:
    // nullopt from Crear when the differences a(p) − a(e) of the products with demand
    // are linearly dependent: the enumeration needs a positive definite Gram matrix.
    static std::optional<Etapas> Crear(const EstadoSecuenciador& e) {
        Etapas s;
        s.q_ = e.Q;
        s.m_ = e.NComp;
        std::vector<int64_t> total(static_cast<size_t>(s.m_), 0);
        for (int32_t p = 1; p <= e.NProd; ++p)
            for (int32_t j = 1; j <= s.m_; ++j) total[static_cast<size_t>(j - 1)] += int64_t{e.Uso(p, j)} * std::max(e.Demanda(p), 0);
        for (int32_t p = 1; p <= e.NProd; ++p) {
            if (e.Demanda(p) <= 0) continue;
            s.productos_.push_back(p);
            s.demanda_.push_back(e.Demanda(p));
            for (int32_t j = 1; j <= s.m_; ++j)
                s.a_.push_back(static_cast<double>(int64_t{e.Q} * e.Uso(p, j) - total[static_cast<size_t>(j - 1)]));
        }
        const size_t n = s.productos_.size();
        if (n == 0) return s;
        // The product eliminated by Σx = k: the one of largest demand.
        s.e_ = static_cast<size_t>(std::max_element(s.demanda_.begin(), s.demanda_.end()) - s.demanda_.begin());
        for (size_t p = 0; p < n; ++p)
            if (p != s.e_) s.libres_.push_back(p);
        const size_t r = s.libres_.size();
        const auto columna = [&](size_t c, int32_t j) { return s.A(s.libres_[c], j) - s.A(s.e_, j); };
        // Shortest differences deepest in the enumeration.
        std::vector<double> norma(r, 0);
        for (size_t c = 0; c < r; ++c)
            for (int32_t j = 0; j < s.m_; ++j) norma[c] += columna(c, j) * columna(c, j);
        std::vector<size_t> orden(r);
        for (size_t c = 0; c < r; ++c) orden[c] = c;
        std::stable_sort(orden.begin(), orden.end(), [&](size_t x, size_t y) { return norma[x] < norma[y]; });
        std::vector<size_t> libres(r);
        for (size_t c = 0; c < r; ++c) libres[c] = s.libres_[orden[c]];
        s.libres_ = libres;
        s.d_.assign(r * static_cast<size_t>(s.m_), 0);
        for (size_t c = 0; c < r; ++c)
            for (int32_t j = 0; j < s.m_; ++j) s.d_[c * static_cast<size_t>(s.m_) + static_cast<size_t>(j)] = columna(c, j);
        // Gram matrix G = DᵀD and its Cholesky factor R (upper, G = RᵀR).
        s.r_.assign(r * r, 0);
        for (size_t i = 0; i < r; ++i) {
            for (size_t j = i; j < r; ++j) {
                double g = 0;
                for (int32_t t = 0; t < s.m_; ++t) g += s.D(i, t) * s.D(j, t);
                for (size_t t = 0; t < i; ++t) g -= s.R(t, i) * s.R(t, j);
                if (j == i) {
                    double escala = 0;
                    for (int32_t t = 0; t < s.m_; ++t) escala += s.D(i, t) * s.D(i, t);
                    if (!(g > 1e-9 * escala)) return std::nullopt;
                    s.r_[i * r + i] = std::sqrt(g);
                } else {
                    s.r_[i * r + j] = g / s.R(i, i);
                }
            }
        }
        return s;
    }

    int32_t Q() const { return q_; }
    size_t Productos() const { return productos_.size(); }
    int32_t Producto(size_t p) const { return productos_[p]; }

    // Q²·(stage cost) of x (indexed by product with demand).
    double Coste(const std::vector<int32_t>& x) const {
        double suma = 0;
        for (int32_t j = 0; j < m_; ++j) {
            double v = 0;
            for (size_t p = 0; p < x.size(); ++p) v += x[p] * A(p, j);
            suma += v * v;
        }
        return suma;
    }

    // Every count vector of stage k (Σx = k, 0 ≤ x ≤ d) of Q²·cost at most limite, with
    // its cost.
    template <typename F>
    uint64_t Enumerar(int32_t k, double limite, F&& visitar) const {
        const size_t n = productos_.size(), r = libres_.size();
        limite = limite * (1 + 1e-9) + 1e-9;
        // Centre c of the unconstrained least squares: D·c ≈ −k·a(e); the rest r0.
        std::vector<double> b(r, 0), z(r, 0), c(r, 0);
        for (size_t i = 0; i < r; ++i)
            for (int32_t j = 0; j < m_; ++j) b[i] -= D(i, j) * k * A(e_, j);
        for (size_t i = 0; i < r; ++i) {
            double t = b[i];
            for (size_t s = 0; s < i; ++s) t -= R(s, i) * z[s];
            z[i] = t / R(i, i);
        }
        for (size_t i = r; i-- > 0;) {
            double t = z[i];
            for (size_t s = i + 1; s < r; ++s) t -= R(i, s) * c[s];
            c[i] = t / R(i, i);
        }
        double r0 = 0;
        for (int32_t j = 0; j < m_; ++j) {
            double v = k * A(e_, j);
            for (size_t i = 0; i < r; ++i) v += D(i, j) * c[i];
            r0 += v * v;
        }
        std::vector<int32_t> y(r, 0), x(n, 0);
        std::vector<double> parcial(r + 1, 0);
        std::vector<int64_t> suma(r + 1, 0);
        uint64_t vistos = 0;
        const std::function<void(size_t)> nivel = [&](size_t nivelesQueQuedan) {
            if (nivelesQueQuedan == 0) {
                const int64_t xe = k - suma[0];
                if (xe < 0 || xe > demanda_[e_]) return;
                for (size_t i = 0; i < r; ++i) x[libres_[i]] = y[i];
                x[e_] = static_cast<int32_t>(xe);
                ++vistos;
                visitar(x, r0 + parcial[0]);
                return;
            }
            const size_t i = nivelesQueQuedan - 1;
            double ci = c[i];
            for (size_t s = i + 1; s < r; ++s) ci -= R(i, s) / R(i, i) * (y[s] - c[s]);
            const double resto = limite - r0 - parcial[i + 1];
            if (resto < 0) return;
            const double w = std::sqrt(resto) / R(i, i);
            const int64_t desde = std::max<int64_t>(static_cast<int64_t>(std::ceil(ci - w)), 0);
            const int64_t hasta = std::min<int64_t>({static_cast<int64_t>(std::floor(ci + w)),
                                                     demanda_[libres_[i]], int64_t{k} - suma[i + 1]});
            for (int64_t v = desde; v <= hasta; ++v) {
                const double dd = R(i, i) * (static_cast<double>(v) - ci);
                parcial[i] = parcial[i + 1] + dd * dd;
                if (r0 + parcial[i] > limite) continue;
                y[i] = static_cast<int32_t>(v);
                suma[i] = suma[i + 1] + v;
                nivel(i);
            }
        };
        nivel(r);
        return vistos;
    }

private:
    double A(size_t p, int32_t j) const { return a_[p * static_cast<size_t>(m_) + static_cast<size_t>(j)]; }
    double D(size_t c, int32_t j) const { return d_[c * static_cast<size_t>(m_) + static_cast<size_t>(j)]; }
    double R(size_t i, size_t j) const { return r_[i * libres_.size() + j]; }

    int32_t q_ = 0, m_ = 0;
    std::vector<int32_t> productos_;  // product numbers with demand
    std::vector<int32_t> demanda_;
    std::vector<double> a_;           // a(p, j), products with demand
    size_t e_ = 0;                    // eliminated product
    std::vector<size_t> libres_;      // the others, in enumeration order
    std::vector<double> d_;           // a(libre) − a(e)
    std::vector<double> r_;           // Cholesky factor
};

}  // namespace detalle_cota

// The bound for a problem as LeerProblema leaves it (demands not negative), with blocks
// of etapasPorBloque stages, guided by a sequence of the problem (the better that
// sequence, the fewer count vectors are enumerated). nullopt when the enumeration does
// not apply (linearly dependent usages, see above).
inline std::optional<CotaInferior> CalcularCotaInferior(const EstadoSecuenciador& estado,
                                                        const Secuencia& secuencia,
                                                        int32_t etapasPorBloque) {
    const auto etapas = detalle_cota::Etapas::Crear(estado);
    if (!etapas) return std::nullopt;
    const int32_t q = etapas->Q();
    const size_t n = etapas->Productos();
    const double q2 = static_cast<double>(q) * q;
    std::vector<size_t> indice(static_cast<size_t>(estado.NProd) + 1, 0);
    for (size_t p = 0; p < n; ++p) indice[static_cast<size_t>(etapas->Producto(p))] = p;

    // The sequence's own stage costs, and each stage's least cost below them.
    std::vector<double> propio(static_cast<size_t>(q) + 1, 0), minimo(static_cast<size_t>(q) + 1, 0);
    CotaInferior cota;
    std::vector<int32_t> x(n, 0);
    for (int32_t k = 1; k <= q; ++k) {
        ++x[indice[static_cast<size_t>(secuencia[static_cast<size_t>(k - 1)])]];
        propio[static_cast<size_t>(k)] = etapas->Coste(x);
        cota.referencia += propio[static_cast<size_t>(k)];
    }
    for (int32_t k = 1; k < q; ++k) {
        double menor = propio[static_cast<size_t>(k)];
        cota.vectores += etapas->Enumerar(k, menor, [&](const std::vector<int32_t>&, double c) { menor = std::min(menor, c); });
        minimo[static_cast<size_t>(k)] = menor;
        cota.porEtapa += menor;
    }

    const int32_t largo = std::max(etapasPorBloque, 1);
    using Mapa = std::unordered_map<std::vector<int32_t>, double, detalle_cota::Clave>;
    for (int32_t k0 = 1; k0 < q; k0 += largo) {
        const int32_t k1 = std::min(k0 + largo - 1, q - 1);
        double holgura = 0;
        for (int32_t k = k0; k <= k1; ++k) holgura += propio[static_cast<size_t>(k)] - minimo[static_cast<size_t>(k)];
        Mapa actual, siguiente;
        for (int32_t k = k0; k <= k1; ++k) {
            siguiente.clear();
            cota.vectores += etapas->Enumerar(k, minimo[static_cast<size_t>(k)] + holgura, [&](const std::vector<int32_t>& v, double c) {
                double antes = 0;
                if (k > k0) {
                    antes = INFINITY;
                    std::vector<int32_t> padre = v;
                    for (size_t p = 0; p < n; ++p) {
                        if (padre[p] == 0) continue;
                        --padre[p];
                        if (const auto it = actual.find(padre); it != actual.end()) antes = std::min(antes, it->second);
                        ++padre[p];
                    }
                    if (antes == INFINITY) return;
                }
                siguiente.emplace(v, antes + c);
            });
            actual.swap(siguiente);
        }
        double menor = INFINITY;
        for (const auto& [v, c] : actual) menor = std::min(menor, c);
        cota.porBloques += menor;
    }
    cota.porEtapa = cota.porEtapa * (1 - 1e-9) / q2;
    cota.porBloques = cota.porBloques * (1 - 1e-9) / q2;
    cota.referencia /= q2;
    return cota;
}

}  // namespace tavelorin::bench
