// The stage loop that the floating-point and the exact runs share, with the data it reads
// once a run. For the core's own sources: not part of its interface.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "core/Calidad.h"
#include "core/Informe.h"
#include "core/Problema.h"

namespace tavelorin::detalle {

// The problem's usages by product, demands and totals, read once from Datos for a run.
struct DatosEtapas {
    int32_t n = 0, m = 0;
    std::vector<int32_t> usos;  // n rows of m
    std::vector<int32_t> demandas;
    std::vector<int32_t> totales;

    explicit DatosEtapas(const EstadoSecuenciador& estado) : n(estado.TablaSolucion.nProd), m(estado.TablaSolucion.nComp) {
        usos.resize(static_cast<size_t>(n) * static_cast<size_t>(m));
        demandas.resize(static_cast<size_t>(n));
        totales.resize(static_cast<size_t>(m));
        for (int32_t p = 0; p < n; ++p) {
            for (int32_t j = 0; j < m; ++j) usos[static_cast<size_t>(p) * m + j] = estado.Datos(p, j);
            demandas[static_cast<size_t>(p)] = estado.Datos(p, m);
        }
        for (int32_t j = 0; j < m; ++j) totales[static_cast<size_t>(j)] = estado.Datos(n, j);
    }
    const int32_t* Usos(int32_t producto0) const { return usos.data() + static_cast<size_t>(producto0) * m; }
};

// The distance of one product at a stage, with the run's exact rounding: each
// difference, square and partial sum evaluated with a 64-bit significand and stored
// as a double, then the square root.
inline double DistanciaEtapa(const double* ideal, const int64_t* consumo, const int32_t* b, int32_t m) {
    double s = 0.0;
    for (int32_t j = 0; j < m; ++j) {
        const double e = static_cast<double>(
            (static_cast<long double>(ideal[j]) - static_cast<long double>(consumo[j])) - static_cast<long double>(b[j]));
        const double ee = static_cast<double>(static_cast<long double>(e) * static_cast<long double>(e));
        s = static_cast<double>(static_cast<long double>(s) + static_cast<long double>(ee));
    }
    return static_cast<double>(std::sqrt(static_cast<long double>(s)));
}

// The distances of a stage for many products at once, each exactly DistanciaEtapa. A
// square depends only on the component and the product's usage of it, so each distinct
// (component, usage) pair is squared once a stage; the sums of all the products still in
// play run side by side, component by component.
class DistanciasEtapa {
public:
    explicit DistanciasEtapa(const DatosEtapas& datos) : n_(datos.n), m_(datos.m) {
        inicio_.assign(static_cast<size_t>(m_) + 1, 0);
        indices_.resize(static_cast<size_t>(n_) * static_cast<size_t>(m_));
        std::vector<int32_t> vistos;
        for (int32_t j = 0; j < m_; ++j) {
            vistos.clear();
            bool muchos = false;
            for (int32_t p = 0; p < n_ && !muchos; ++p) {
                const int32_t b = datos.Usos(p)[j];
                size_t i = 0;
                while (i < vistos.size() && vistos[i] != b) ++i;
                if (i == vistos.size()) vistos.push_back(b);
                indices_[static_cast<size_t>(p) * m_ + j] = static_cast<int32_t>(i);
                // Past a few hundred distinct usages a search costs more than a square.
                muchos = vistos.size() > 256;
            }
            if (muchos) {  // every product its own square
                vistos.clear();
                for (int32_t p = 0; p < n_; ++p) {
                    vistos.push_back(datos.Usos(p)[j]);
                    indices_[static_cast<size_t>(p) * m_ + j] = p;
                }
            }
            inicio_[static_cast<size_t>(j) + 1] = inicio_[static_cast<size_t>(j)] + static_cast<int32_t>(vistos.size());
            valores_.insert(valores_.end(), vistos.begin(), vistos.end());
        }
        for (int32_t p = 0; p < n_; ++p)
            for (int32_t j = 0; j < m_; ++j) indices_[static_cast<size_t>(p) * m_ + j] += inicio_[static_cast<size_t>(j)];
        cuadrados_.resize(valores_.size());
        vivos_.reserve(static_cast<size_t>(n_));
    }

    // Writes the distance of every product into distancias (n of them), -1 for those
    // agotado says are exhausted.
    template <typename Agotado>
    void Calcular(const double* ideal, const int64_t* consumo, Agotado agotado, double* distancias) {
        using LD = long double;
        for (int32_t j = 0; j < m_; ++j) {
            const LD resto = static_cast<LD>(ideal[j]) - static_cast<LD>(consumo[j]);
            for (int32_t i = inicio_[static_cast<size_t>(j)]; i < inicio_[static_cast<size_t>(j) + 1]; ++i) {
                const double e = static_cast<double>(resto - static_cast<LD>(valores_[static_cast<size_t>(i)]));
                cuadrados_[static_cast<size_t>(i)] = static_cast<double>(static_cast<LD>(e) * static_cast<LD>(e));
            }
        }
        // The products in play change only when one is exhausted: their squares' indices,
        // component by component, are laid out again then.
        size_t vivos = 0;
        bool cambio = false;
        for (int32_t p = 0; p < n_; ++p) {
            if (agotado(p)) {
                distancias[p] = -1.0;
                continue;
            }
            if (vivos == vivos_.size()) {
                vivos_.push_back(p);
                cambio = true;
            } else if (vivos_[vivos] != p) {
                vivos_[vivos] = p;
                cambio = true;
            }
            ++vivos;
        }
        if (vivos != vivos_.size()) {
            vivos_.resize(vivos);
            cambio = true;
        }
        if (cambio) {
            porComponente_.resize(static_cast<size_t>(m_) * vivos);
            for (int32_t j = 0; j < m_; ++j)
                for (size_t a = 0; a < vivos; ++a)
                    porComponente_[static_cast<size_t>(j) * vivos + a] = indices_[static_cast<size_t>(vivos_[a]) * m_ + j];
        }
        sumas_.assign(vivos, 0.0);
        double* s = sumas_.data();
        const double* c = cuadrados_.data();
        for (int32_t j = 0; j < m_; ++j) {
            const int32_t* indice = porComponente_.data() + static_cast<size_t>(j) * vivos;
            for (size_t a = 0; a < vivos; ++a) s[a] = static_cast<double>(static_cast<LD>(s[a]) + static_cast<LD>(c[indice[a]]));
        }
        for (size_t a = 0; a < vivos; ++a) distancias[vivos_[a]] = static_cast<double>(std::sqrt(static_cast<LD>(s[a])));
    }

private:
    int32_t n_, m_;
    std::vector<int32_t> inicio_;         // m + 1: where each component's distinct usages start
    std::vector<int32_t> valores_;        // the distinct usages, component by component
    std::vector<int32_t> indices_;        // n x m: the square each product takes for each component
    std::vector<double> cuadrados_;       // this stage's squares, one per distinct usage
    std::vector<int32_t> vivos_;          // products not exhausted at this stage
    std::vector<int32_t> porComponente_;  // m x vivos: indices_ of those products, by component
    std::vector<double> sumas_;           // their sums so far
};

// A stage as a choice rule sees it.
struct Etapa {
    int32_t k = 0;  // 1..Q
    int32_t q = 0;
    int32_t m = 0;
    const int32_t* totales = nullptr;  // N(j), m of them
    const int64_t* consumo = nullptr;  // X(j) after stages 1..k−1
};

// Runs the stages k = 1..Q over a freshly set-up table. Each stage stores every
// product's distance (−1 once it is exhausted), its choice and the consumption after it.
// The rule chooses among the products not exhausted: regla.Empezar() opens a stage, then
// regla.Mejora(etapa, usos, distancia) is asked about each of them in product order and
// answers whether it takes the place of the best so far. A stage where no product is
// taken makes nothing (0).
template <typename Regla>
void RecorrerEtapas(EstadoSecuenciador& estado, Regla& regla) {
    TablaEtapas& t = estado.TablaSolucion;
    const int32_t n = t.nProd;
    const int32_t m = t.nComp;
    const int32_t q = t.filas;
    if (q == 0) return;
    TablaEtapas::Datos& d = *t.datos;

    const DatosEtapas datos(estado);
    const std::vector<int32_t>& demandas = datos.demandas;
    const std::vector<int32_t>& totales = datos.totales;
    DistanciasEtapa distancias(datos);

    // Consumption and units so far, kept incrementally: whole numbers, so exact.
    std::vector<int64_t> consumo(static_cast<size_t>(m), 0);
    std::vector<int32_t> unidades(static_cast<size_t>(n), 0);
    std::vector<double> ideal(static_cast<size_t>(m));
    const long double divisor = q;
    const auto agotado = [&](int32_t p) { return demandas[static_cast<size_t>(p)] <= unidades[static_cast<size_t>(p)]; };

    for (int32_t k = 1; k <= q; ++k) {
        for (int32_t j = 0; j < m; ++j) {
            const int32_t kn = static_cast<int32_t>(static_cast<int64_t>(k) * totales[static_cast<size_t>(j)]);
            ideal[static_cast<size_t>(j)] = static_cast<double>(static_cast<long double>(kn) / divisor);
        }
        double* fila = d.distancias + static_cast<int64_t>(k - 1) * n;
        distancias.Calcular(ideal.data(), consumo.data(), agotado, fila);

        const Etapa etapa{k, q, m, totales.data(), consumo.data()};
        regla.Empezar();
        int32_t elegido = 0;
        for (int32_t p = 0; p < n; ++p)
            if (!agotado(p) && regla.Mejora(etapa, datos.Usos(p), fila[p])) elegido = p + 1;
        d.elecciones[k - 1] = elegido;

        if (elegido != 0) {
            const int32_t* b = datos.Usos(elegido - 1);
            for (int32_t j = 0; j < m; ++j) consumo[static_cast<size_t>(j)] += b[j];
            ++unidades[static_cast<size_t>(elegido - 1)];
        }
        if (d.consumos32 != nullptr) {
            int32_t* x = d.consumos32 + static_cast<int64_t>(k - 1) * m;
            for (int32_t j = 0; j < m; ++j) x[j] = static_cast<int32_t>(consumo[static_cast<size_t>(j)]);
        } else if (m > 0) {
            std::memcpy(d.consumos + static_cast<int64_t>(k - 1) * m, consumo.data(), sizeof(int64_t) * m);
        }
        if (k % TablaEtapas::kPasoUnidades == 0 && n > 0)
            std::memcpy(d.unidades + static_cast<int64_t>(k / TablaEtapas::kPasoUnidades) * n, unidades.data(),
                        sizeof(int32_t) * n);
        t.hechas = k;
    }
}

// An upper bound of Σ_j (Q·X(j) − k·N(j))² over every k ≤ Q and every unit vector
// 0 ≤ x ≤ max(d, 0): with U(j) = Q·Σ_i |b(i,j)|·max(d(i), 0) + Q·|N(j)|, Σ_j U(j)².
// false when it leaves 128 bits.
bool CotaPorEtapa(const EstadoSecuenciador& e, Natural128& cota);

// Reads the lines, sets up the table and runs etapas over it; a failed allocation
// becomes "Out of memory".
void SecuenciarTablaCon(EstadoSecuenciador& estado, const std::vector<std::string>& lineas,
                        void (*etapas)(EstadoSecuenciador&));

// SecuenciarTablaCon, then the report and the sequence as whole lines.
Solucion SecuenciarCon(EstadoSecuenciador& estado, const std::vector<std::string>& lineas,
                       std::string_view separador, void (*etapas)(EstadoSecuenciador&));

}  // namespace tavelorin::detalle
