// The bounded dynamic programming over the stages. A state is the count vector x of
// the units sequenced so far; the cost still to come from x depends on x alone, so two
// paths to the same x merge and the cheaper stays, exactly. Each stage keeps the
// states of least cost so far.
//
// Each state carries g = G·x and its stage cost c = xᵀGx: a child x + e(i) costs
// c + 2·g(i) + G(i,i), O(1), and its g is g + G(i,·), O(l). A state's key is
// Σ x(i)·clave(i) mod 2^64, so a child's key is the parent's plus clave(i); equal keys
// are confirmed on the counts before two states merge.
#include <algorithm>
#include <limits>
#include <memory>
#include <numeric>

#include "core/Memoria.h"
#include "core/MejoraBusqueda.h"

namespace tavelorin::detalle {

namespace {

// Bytes a pass may use: the back pointers of every stage and two stages of states.
constexpr uint64_t kMemoriaHaz = uint64_t{1} << 30;
// The narrowest a pass becomes to end within the time limit.
constexpr size_t kAnchuraMinima = 16;

}  // namespace

template <typename T>
struct Haz<T>::Espacio {
    struct Capa {
        size_t tam = 0;
        std::vector<int32_t> cuenta;  // tam × l
        std::vector<T> g;             // tam × l
        std::vector<T> c;             // stage cost
        std::vector<T> acumulado;     // cost of the stages so far
        std::vector<uint64_t> clave;
        void Dimensionar(size_t n, size_t l) {
            tam = n;
            cuenta.resize(n * l);
            g.resize(n * l);
            c.resize(n);
            acumulado.resize(n);
            clave.resize(n);
        }
    };
    struct Candidato {
        T f;  // cost so far of the child
        uint32_t padre;
        uint32_t producto;
    };
    struct Hueco {
        uint64_t clave;
        uint32_t indice;
    };
    static constexpr uint32_t kVacio = std::numeric_limits<uint32_t>::max();

    Capa actual, siguiente;
    std::vector<T> claves;            // a.tam × l
    std::vector<T> copia;
    double factor = 2;                // candidates taken per state kept
    std::vector<Candidato> candidatos;  // the first total are in use
    size_t total = 0;
    std::vector<Hueco> tabla;
    std::vector<uint32_t> vivos;
    std::vector<uint8_t> marca;
    std::vector<uint32_t> padres;     // back pointers of every stage, one after another
    std::vector<uint16_t> elegidos;   // the product each state added
    std::vector<size_t> inicio;       // where each stage's states begin in padres

    // Merges the candidates that reach the same state, keeping the cheapest: vivos
    // gets one candidate a distinct state.
    void Fusionar(const Capa& a, size_t l, const uint64_t* claveProducto) {
        size_t huecos = 16;
        while (huecos < 2 * total) huecos *= 2;
        const size_t mascara = huecos - 1;
        tabla.assign(huecos, {0, kVacio});
        for (size_t c = 0; c < total; ++c) {
            const Candidato& nuevo = candidatos[c];
            const uint64_t clave = a.clave[nuevo.padre] + claveProducto[nuevo.producto];
            for (size_t h = static_cast<size_t>((clave * 0x9E3779B97F4A7C15ull) >> 32) & mascara;; h = (h + 1) & mascara) {
                Hueco& hueco = tabla[h];
                if (hueco.indice == kVacio) {
                    hueco = {clave, static_cast<uint32_t>(c)};
                    break;
                }
                if (hueco.clave != clave) continue;
                const Candidato& viejo = candidatos[hueco.indice];
                // x + e(i) = y + e(j) with x ≠ y (the states of a stage are distinct):
                // i ≠ j, x(i) + 1 = y(i), x(j) = y(j) + 1, and x = y elsewhere.
                const size_t i = nuevo.producto, j = viejo.producto;
                if (i == j) continue;
                const int32_t* x = a.cuenta.data() + static_cast<size_t>(nuevo.padre) * l;
                const int32_t* y = a.cuenta.data() + static_cast<size_t>(viejo.padre) * l;
                const size_t menor = std::min(i, j), mayor = std::max(i, j);
                if (x[i] + 1 != y[i] || x[j] != y[j] + 1 || !std::equal(x, x + menor, y) ||
                    !std::equal(x + menor + 1, x + mayor, y + menor + 1) ||
                    !std::equal(x + mayor + 1, x + l, y + mayor + 1))
                    continue;
                if (Antes(nuevo, viejo)) hueco.indice = static_cast<uint32_t>(c);
                break;
            }
        }
        vivos.clear();
        for (const Hueco& hueco : tabla)
            if (hueco.indice != kVacio) vivos.push_back(hueco.indice);
    }

    // A total order, so that the states kept do not depend on how the library sorts.
    static bool Antes(const Candidato& a, const Candidato& b) {
        if (a.f != b.f) return a.f < b.f;
        if (a.padre != b.padre) return a.padre < b.padre;
        return a.producto < b.producto;
    }
};

template <typename T>
Haz<T>::Haz(const Modelo<T>& modelo, EstimacionMejora estimacion, int32_t etapas)
    : m_(modelo), estimacion_(estimacion), etapas_(etapas), espacio_(std::make_unique<Espacio>()) {}

template <typename T>
Haz<T>::~Haz() = default;

template <typename T>
uint64_t Haz<T>::AnchuraMaxima() const {
    const uint64_t l = static_cast<uint64_t>(m_.l);
    // Two stages of states; the keys, candidates and marks of every child; the merge
    // table for about 4 candidates a state kept; the back pointers.
    const uint64_t porEstado = 2 * (l * (sizeof(int32_t) + sizeof(T)) + 2 * sizeof(T) + sizeof(uint64_t)) +
                               l * (sizeof(T) + sizeof(typename Espacio::Candidato) + 1) +
                               8 * sizeof(typename Espacio::Hueco) +
                               static_cast<uint64_t>(m_.q) * (sizeof(uint32_t) + sizeof(uint16_t));
    const uint64_t presupuesto = std::min(kMemoriaHaz, MemoriaDisponible() / 2);
    return std::max<uint64_t>(1, std::min<uint64_t>(presupuesto / porEstado, std::numeric_limits<uint32_t>::max() / (l + 1)));
}

template <typename T>
bool Haz<T>::Pasada(uint64_t anchura, Control& control, const Racional& mejor, std::vector<int32_t>& secuencia,
                    T& coste, bool& exacta, double& anchuraMedia) {
    Espacio& z = *espacio_;
    const size_t l = static_cast<size_t>(m_.l);
    const int32_t q = m_.q;
    const size_t anchuraFija = static_cast<size_t>(std::max<uint64_t>(1, anchura));
    size_t w = anchuraFija;
    const int32_t* d = m_.d.data();
    const T* diagonal = m_.diagonal.data();
    const T kSin = std::numeric_limits<T>::max();

    z.actual.Dimensionar(1, l);
    std::fill(z.actual.cuenta.begin(), z.actual.cuenta.end(), 0);
    std::fill(z.actual.g.begin(), z.actual.g.end(), T(0));
    z.actual.c[0] = z.actual.acumulado[0] = 0;
    z.actual.clave[0] = 0;
    z.padres.clear();
    z.elegidos.clear();
    z.inicio.assign(1, 0);
    z.factor = 2;
    exacta = true;
    double sumaAnchuras = 0;
    auto desde = Reloj::now();
    int32_t etapaDesde = 0;

    for (int32_t k = 1; k <= q; ++k) {
        const typename Espacio::Capa& a = z.actual;

        // The key of every child: its cost so far plus the estimate of the cost to
        // come; kSin for the children of exhausted products.
        const size_t hijos = a.tam * l;
        z.claves.resize(hijos);
        size_t validos = 0;
        for (size_t s = 0; s < a.tam; ++s) {
            const int32_t* x = a.cuenta.data() + s * l;
            const T* g = a.g.data() + s * l;
            T* clave = z.claves.data() + s * l;
            const T c = a.c[s];
            const T acumulado = a.acumulado[s];
            // The child's stage cost is c + 2·g(i) + G(i,i); its key, the cost so far
            // acumulado + that, plus the estimate.
            if (estimacion_ == EstimacionMejora::ninguna) {
                const T base = acumulado + c;
                for (size_t i = 0; i < l; ++i) clave[i] = x[i] < d[i] ? base + T(2) * g[i] + diagonal[i] : kSin;
            } else if (estimacion_ == EstimacionMejora::etapaActual || k == q) {
                // The child's stage cost h again for the next e stages, e = etapas_ but
                // no more than the stages left before the last (which costs 0, x = d):
                // acumulado + (1 + e)·h, below 16·Q times the largest stage cost as e ≤ 14.
                const T veces = T(1) + T(std::min(etapas_, std::max(q - 1 - k, 0)));
                for (size_t i = 0; i < l; ++i)
                    clave[i] = x[i] < d[i] ? acumulado + veces * (c + T(2) * g[i] + diagonal[i]) : kSin;
            } else {
                // The least cost of the next stage: c(x + e(i) + e(r)) over r.
                for (size_t i = 0; i < l; ++i) {
                    if (x[i] >= d[i]) {
                        clave[i] = kSin;
                        continue;
                    }
                    const T hijo = c + T(2) * g[i] + diagonal[i];
                    T minimo = kSin;
                    const T* fila = m_.Fila(static_cast<int32_t>(i));
                    for (size_t r = 0; r < l; ++r)
                        if (x[r] + (r == i) < d[r]) minimo = std::min(minimo, T(2) * (g[r] + fila[r]) + diagonal[r]);
                    clave[i] = acumulado + T(2) * hijo + minimo;
                }
            }
            for (size_t i = 0; i < l; ++i) validos += x[i] < d[i];
        }

        // The cheapest w distinct children: the children whose key is below a
        // threshold, merged; a higher threshold when merging left fewer than w. The set
        // does not depend on how the library selects, and a child whose cheapest path
        // is left out has all its paths left out. The threshold lets about
        // factor·w children through: factor follows the share of repeated children.
        double objetivo = static_cast<double>(w) * z.factor;
        bool todos = false;  // every child was looked at
        for (;;) {
            T umbral = kSin - 1;
            if (objetivo < static_cast<double>(validos)) {
                // The key of that rank, from a sample of the keys when there are many.
                size_t paso = std::max<size_t>(1, hijos / 4096);
                if (hijos <= 16384) paso = 1;
                while (std::gcd(paso, l) != 1) ++paso;
                z.copia.clear();
                for (size_t h = 0; h < hijos; h += paso)
                    if (z.claves[h] != kSin) z.copia.push_back(z.claves[h]);
                if (z.copia.empty()) z.copia.push_back(kSin - 1);
                const double parte = objetivo / static_cast<double>(validos);
                const size_t rango = std::min(z.copia.size() - 1,
                                              static_cast<size_t>(parte * static_cast<double>(z.copia.size())));
                std::nth_element(z.copia.begin(), z.copia.begin() + static_cast<ptrdiff_t>(rango), z.copia.end());
                umbral = z.copia[rango];
            }
            if (z.candidatos.size() < hijos) z.candidatos.resize(hijos);
            size_t total = 0;
            for (size_t s = 0; s < a.tam; ++s) {
                const T* clave = z.claves.data() + s * l;
                for (size_t i = 0; i < l; ++i) {
                    z.candidatos[total] = {clave[i], static_cast<uint32_t>(s), static_cast<uint32_t>(i)};
                    total += clave[i] <= umbral;
                }
            }
            z.total = total;
            z.Fusionar(a, l, m_.clave.data());
            const double repeticion = static_cast<double>(total) / static_cast<double>(std::max<size_t>(z.vivos.size(), 1));
            todos = umbral == kSin - 1;
            if (z.vivos.size() >= w || todos) {
                z.factor = std::clamp(1.25 * repeticion, 1.1, static_cast<double>(l) + 1);
                break;
            }
            objetivo = std::max(1.5 * static_cast<double>(total), 1.25 * repeticion * static_cast<double>(w));
        }
        const auto porCoste = [&z](uint32_t x, uint32_t y) { return Espacio::Antes(z.candidatos[x], z.candidatos[y]); };
        // Nothing left out at this stage only when every child was seen to merge into
        // at most w states.
        exacta = exacta && todos && z.vivos.size() <= w;
        if (z.vivos.size() > w) {
            std::nth_element(z.vivos.begin(), z.vivos.begin() + static_cast<ptrdiff_t>(w), z.vivos.end(), porCoste);
            z.vivos.resize(w);
        }
        // In the order of their parents, which the next stage reads in turn: the order
        // of candidatos.
        z.marca.assign(z.total, 0);
        for (const uint32_t v : z.vivos) z.marca[v] = 1;
        z.vivos.clear();
        for (size_t c = 0; c < z.total; ++c)
            if (z.marca[c]) z.vivos.push_back(static_cast<uint32_t>(c));

        typename Espacio::Capa& b = z.siguiente;
        b.Dimensionar(z.vivos.size(), l);
        for (size_t r = 0; r < z.vivos.size(); ++r) {
            const typename Espacio::Candidato& c = z.candidatos[z.vivos[r]];
            const size_t p = c.padre;
            const size_t i = c.producto;
            const int32_t* xa = a.cuenta.data() + p * l;
            int32_t* xb = b.cuenta.data() + r * l;
            std::copy(xa, xa + l, xb);
            ++xb[i];
            const T* ga = a.g.data() + p * l;
            T* gb = b.g.data() + r * l;
            const T* fila = m_.Fila(static_cast<int32_t>(i));
            for (size_t t = 0; t < l; ++t) gb[t] = ga[t] + fila[t];
            b.c[r] = a.c[p] + T(2) * ga[i] + diagonal[i];
            b.acumulado[r] = a.acumulado[p] + b.c[r];
            b.clave[r] = a.clave[p] + m_.clave[i];
            z.padres.push_back(c.padre);
            z.elegidos.push_back(static_cast<uint16_t>(i));
        }
        z.inicio.push_back(z.padres.size());
        std::swap(z.actual, z.siguiente);
        if (control.Parar()) return false;
        control.Informar(k, anchura, mejor, false);
        sumaAnchuras += static_cast<double>(w);
        // Under a time limit, a pass that would not end in time narrows for the stages
        // left, in proportion, rather than be lost; after narrowing too far it widens
        // again, up to its own width. The time a stage takes at the width in force is
        // the mean since the pass began or the width last changed, over at least 20 ms,
        // so that one stage held up by the machine does not count for all.
        if (control.ConLimite() && k < q) {
            const double tramo = std::chrono::duration<double>(Reloj::now() - desde).count();
            if (tramo >= 0.02) {
                const double falta = tramo / (k - etapaDesde) * (q - k);
                const double resto = 0.9 * control.Restante();
                size_t nueva = w;
                if (falta > resto)
                    nueva = std::max<size_t>(kAnchuraMinima, static_cast<size_t>(static_cast<double>(w) * resto / falta));
                else if (w < anchuraFija && 2 * falta < resto)
                    nueva = std::min<size_t>(anchuraFija, static_cast<size_t>(static_cast<double>(w) * resto / (2 * falta)));
                if (nueva != w) {
                    w = nueva;
                    desde = Reloj::now();
                    etapaDesde = k;
                }
            }
        }
    }

    // Stage Q holds one state, x = d.
    secuencia.assign(static_cast<size_t>(q), 0);
    size_t indice = 0;
    for (int32_t k = q; k >= 1; --k) {
        const size_t en = z.inicio[static_cast<size_t>(k - 1)] + indice;
        secuencia[static_cast<size_t>(k - 1)] = z.elegidos[en];
        indice = z.padres[en];
    }
    coste = z.actual.acumulado[0];
    anchuraMedia = sumaAnchuras / q;
    return true;
}

template class Haz<int64_t>;
template class Haz<Entero128>;

}  // namespace tavelorin::detalle
