#include "core/Optimo.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <new>

#include "core/Errores.h"
#include "core/EtapasInterno.h"
#include "core/Memoria.h"
#include "core/TextoReal.h"

namespace tavelorin {

namespace {

constexpr Natural128 kMaximo128 = ~Natural128(0);

// The backward pass over the lattice and the forward walk that reads the sequence.
// T is uint64_t or Natural128; every sum is taken modulo 2^bits(T), exact because the
// true values stay below the bound the caller checked.
template <typename T>
Optimo ResolverReticula(const EstadoSecuenciador& e, uint64_t estados, const std::atomic<bool>* cancelar) {
    // The lattice's coordinates: the products with d > 0, the largest demand first so
    // that the rows of the first coordinate, walked one after another, are long. The
    // values do not depend on this order; only the final walk looks at product numbers.
    std::vector<int32_t> productos;
    for (int32_t p = 1; p <= e.NProd; ++p)
        if (e.Demanda(p) > 0) productos.push_back(p);
    const size_t l = productos.size();
    std::stable_sort(productos.begin(), productos.end(),
                     [&e](int32_t a, int32_t b) { return e.Demanda(a) > e.Demanda(b); });
    std::vector<int64_t> d(l);
    std::vector<uint64_t> paso(l);
    uint64_t s = 1;
    for (size_t i = 0; i < l; ++i) {
        d[i] = e.Demanda(productos[i]);
        paso[i] = s;
        s *= static_cast<uint64_t>(d[i] + 1);
    }

    // The stage cost of x is Σ_j (Σ_i x(i)·a(i,j))² with a(i,j) = Q·b(i,j) − N(j): the
    // quadratic form xᵀGx, G = a·aᵀ. Along the walk through the states only one or two
    // coordinates change a step, so g = Gx and the cost follow in O(l) a change.
    std::vector<T> g2(l * l);
    for (size_t i = 0; i < l; ++i) {
        for (size_t k = 0; k < l; ++k) {
            T suma = 0;
            for (int32_t j = 1; j <= e.NComp; ++j) {
                const int64_t ai = static_cast<int64_t>(e.Q) * e.Uso(productos[i], j) - e.Total(j);
                const int64_t ak = static_cast<int64_t>(e.Q) * e.Uso(productos[k], j) - e.Total(j);
                suma += static_cast<T>(static_cast<Entero128>(ai) * ak);
            }
            g2[i * l + k] = suma;
        }
    }
    std::vector<int64_t> x = d;
    std::vector<T> g(l, 0);
    T coste = 0;
    for (size_t i = 0; i < l; ++i) {
        for (size_t k = 0; k < l; ++k) g[i] += g2[i * l + k] * static_cast<T>(d[k]);
        coste += static_cast<T>(d[i]) * g[i];
    }
    auto mover = [&](size_t i, int64_t delta) {
        const T dt = static_cast<T>(delta);
        coste += T(2) * dt * g[i] + dt * dt * g2[i * l + i];
        const T* columna = g2.data() + i * l;
        for (size_t k = 0; k < l; ++k) g[k] += dt * columna[k];
    };

    if (estados > std::numeric_limits<uint64_t>::max() / sizeof(T)) throw ErrorTavelorin(mensajes::kSinMemoria);
    ComprobarMemoria(estados * sizeof(T));
    std::unique_ptr<T[]> w(new (std::nothrow) T[estados]);
    if (!w) throw ErrorTavelorin(mensajes::kSinMemoria);

    // w(x) = cost(x) + the cheapest continuation from x to d, from d down to 0, one row
    // of the first coordinate at a time. Along a row the other coordinates stay fixed:
    // the minimum over the other products is taken for the whole row at once, stride by
    // stride over contiguous memory, and only the cost and g(0) change. The row ends
    // where it began (x(0) = d(0)), so g is then as it was.
    const T sinValor = std::numeric_limits<T>::max();
    const uint64_t largo = static_cast<uint64_t>(d[0] + 1);
    const T g00 = g2[0];
    std::vector<uint64_t> activos;
    activos.reserve(l);
    std::vector<T> otros(largo);
    for (uint64_t fila = estados / largo; fila-- > 0;) {
        if (cancelar != nullptr && fila % 256 == 0 && cancelar->load(std::memory_order_relaxed)) return {};
        activos.clear();
        for (size_t i = 1; i < l; ++i)
            if (x[i] < d[i]) activos.push_back(paso[i]);
        T* const v = w.get() + fila * largo;
        std::fill(otros.begin(), otros.end(), sinValor);
        if (activos.empty()) otros[largo - 1] = 0;  // x = d, the end of every path
        for (const uint64_t a : activos) {
            const T* const vecina = v + a;
            for (uint64_t t = 0; t < largo; ++t) otros[t] = std::min(otros[t], vecina[t]);
        }
        T c = coste;
        T g0 = g[0];
        v[largo - 1] = c + otros[largo - 1];
        for (uint64_t t = largo - 1; t-- > 0;) {
            c += g00 - T(2) * g0;  // x(0) one less
            g0 -= g00;
            v[t] = c + std::min(otros[t], v[t + 1]);
        }
        if (fila == 0) break;
        size_t i = 1;
        for (; x[i] == 0; ++i) {
            mover(i, d[i]);
            x[i] = d[i];
        }
        mover(i, -1);
        --x[i];
    }

    // From 0, the smallest product whose continuation is cheapest: the lexicographically
    // smallest among the optimal sequences.
    std::vector<size_t> porNumero(l);
    for (size_t i = 0; i < l; ++i) porNumero[i] = i;
    std::sort(porNumero.begin(), porNumero.end(), [&](size_t a, size_t b) { return productos[a] < productos[b]; });
    Optimo r;
    r.estados = estados;
    r.variacion = {static_cast<Natural128>(w[0]), static_cast<Natural128>(e.Q) * static_cast<Natural128>(e.Q)};
    r.secuencia.reserve(static_cast<size_t>(e.Q));
    std::fill(x.begin(), x.end(), 0);
    uint64_t indice = 0;
    for (int32_t k = 1; k <= e.Q; ++k) {
        size_t elegido = l;
        T mejor = sinValor;
        for (const size_t i : porNumero) {
            if (x[i] == d[i]) continue;
            const T v = w[indice + paso[i]];
            if (elegido == l || v < mejor) {
                mejor = v;
                elegido = i;
            }
        }
        r.secuencia.push_back(productos[elegido]);
        ++x[elegido];
        indice += paso[elegido];
    }
    return r;
}

}  // namespace

Natural128 EstadosOptimo(const EstadoSecuenciador& estado) {
    Natural128 estados = 1;
    for (int32_t p = 1; p <= estado.NProd; ++p) {
        const int64_t d = estado.Demanda(p);
        if (d <= 0) continue;
        if (__builtin_mul_overflow(estados, static_cast<Natural128>(d + 1), &estados)) return kMaximo128;
    }
    return estados;
}

void ComprobarOptimo(const EstadoSecuenciador& estado, uint64_t limite) {
    for (int32_t p = 1; p <= estado.NProd; ++p)
        if (estado.Demanda(p) < 0)
            throw ErrorTavelorin("El óptimo necesita demandas no negativas y la del producto " + std::to_string(p) +
                                 " es " + std::to_string(estado.Demanda(p)));
    const Natural128 estados = EstadosOptimo(estado);
    if (estados > limite) {
        std::string cuantos;
        if (estados == kMaximo128) {
            // Beyond 128 bits: the order of magnitude, rounded down.
            long double cifras = 0;
            for (int32_t p = 1; p <= estado.NProd; ++p)
                if (estado.Demanda(p) > 0) cifras += std::log10(static_cast<long double>(estado.Demanda(p)) + 1);
            cuantos = "más de 10^" + std::to_string(static_cast<long long>(std::floor(cifras - 1e-9L)));
        } else {
            cuantos = TextoNatural(estados);
        }
        throw ErrorTavelorin("El problema es demasiado grande para el óptimo: tiene " + cuantos +
                             " estados (el producto de las demandas más uno) y el límite es " + std::to_string(limite));
    }
    Natural128 cota = 0;
    Natural128 total = 0;
    if (!detalle::CotaPorEtapa(estado, cota) ||
        __builtin_mul_overflow(cota, static_cast<Natural128>(estado.Q), &total))
        throw ErrorTavelorin("Los consumos son demasiado grandes para el óptimo: "
                             "la variación podría salirse de los enteros de 128 bits");
}

Optimo CalcularOptimo(const EstadoSecuenciador& estado, uint64_t limite, const std::atomic<bool>* cancelar) {
    ComprobarOptimo(estado, limite);
    Natural128 cota = 0;
    detalle::CotaPorEtapa(estado, cota);
    const uint64_t estados = static_cast<uint64_t>(EstadosOptimo(estado));
    try {
        // 8 bytes a state when every path cost fits in 64 bits, 16 otherwise.
        if (cota * static_cast<Natural128>(estado.Q) <= std::numeric_limits<uint64_t>::max())
            return ResolverReticula<uint64_t>(estado, estados, cancelar);
        return ResolverReticula<Natural128>(estado, estados, cancelar);
    } catch (const std::bad_alloc&) {
        throw ErrorTavelorin(mensajes::kSinMemoria);
    }
}

std::vector<std::string> LineasOptimo(const Optimo& optimo, const Racional& variacionPersecucion,
                                      std::string_view separador) {
    const FormatoReal formato = FormatoSecuencia(separador);
    std::vector<std::string> lineas;
    lineas.reserve(optimo.secuencia.size() + 4);
    lineas.emplace_back(kLineaOptimo);
    for (const int32_t p : optimo.secuencia) lineas.push_back(std::to_string(p));

    // Excess in percent, exact when both share the denominator Q² (they do for one problem).
    const Racional& a = variacionPersecucion;
    const Racional& o = optimo.variacion;
    double exceso;
    if (a.denominador == o.denominador && a.numerador >= o.numerador &&
        a.numerador - o.numerador <= kMaximo128 / 100)
        exceso = Racional{(a.numerador - o.numerador) * 100, o.numerador}.Real();
    else
        exceso = (a.Real() - o.Real()) / o.Real() * 100;
    auto linea = [&formato](const char* etiqueta, double valor) {
        std::string s = etiqueta;
        s.push_back('\t');
        AnadirTextoReal(s, valor, formato);
        return s;
    };
    lineas.push_back(linea("J óptimo", o.Real()));
    lineas.push_back(linea("J persecución", a.Real()));
    lineas.push_back(linea("Exceso de la persecución (%)", exceso));
    return lineas;
}

}  // namespace tavelorin
