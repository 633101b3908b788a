#include "core/Mejora.h"

#include <algorithm>
#include <chrono>
#include <limits>
#include <new>
#include <stdexcept>

#include "core/Errores.h"
#include "core/EtapasInterno.h"
#include "core/MejoraBusqueda.h"
#include "core/Secuenciador.h"
#include "core/TextoReal.h"

namespace tavelorin {

namespace {

using namespace detalle;

constexpr Natural128 kMaximo128 = ~Natural128(0);

// Every sum the search forms stays below 16·Q times the largest stage cost.
bool Cabe(Natural128 cota, int32_t q, Natural128 maximo) {
    Natural128 t = 0;
    return !__builtin_mul_overflow(cota, static_cast<Natural128>(q) * 16, &t) && t <= maximo;
}

template <typename T>
Modelo<T> ConstruirModelo(const EstadoSecuenciador& e, const std::vector<int32_t>& productos, Control& ctl) {
    Modelo<T> mo;
    mo.l = static_cast<int32_t>(productos.size());
    mo.q = e.Q;
    mo.productos = productos;
    const size_t l = productos.size();
    const int32_t m = e.NComp;
    // a(i,j) = Q·b(i,j) − N(j): the stage cost of x is |Σ_i x(i)·a(i,·)|², the form xᵀGx.
    std::vector<int64_t> a(l * static_cast<size_t>(m));
    for (size_t i = 0; i < l; ++i) {
        mo.d.push_back(e.Demanda(productos[i]));
        for (int32_t j = 0; j < m; ++j)
            a[i * m + j] = static_cast<int64_t>(e.Q) * e.Uso(productos[i], j + 1) - e.Total(j + 1);
    }
    mo.G.assign(l * l, T(0));
    for (size_t i = 0; i < l; ++i) {
        if (ctl.Parar()) break;
        for (size_t k = i; k < l; ++k) {
            Entero128 s = 0;
            for (int32_t j = 0; j < m; ++j) s += static_cast<Entero128>(a[i * m + j]) * a[k * m + j];
            mo.G[i * l + k] = mo.G[k * l + i] = static_cast<T>(s);
        }
    }
    mo.diagonal.resize(l);
    for (size_t i = 0; i < l; ++i) mo.diagonal[i] = mo.G[i * l + i];
    uint64_t semilla = 0x5EED5EED12345678ull;
    for (size_t i = 0; i < l; ++i) mo.clave.push_back(Mezclar(semilla));
    return mo;
}

struct Resultado {
    std::vector<int32_t> indices;  // product index 0..l−1 a stage
    Natural128 coste = 0;
    uint64_t anchura = 0;
};

template <typename T>
void Buscar(const Modelo<T>& mo, const OpcionesMejora& o, Control& ctl, Resultado& mejor, Mejora& r) {
    const Natural128 q2 = static_cast<Natural128>(mo.q) * static_cast<Natural128>(mo.q);
    Haz<T> haz(mo, o.estimacion, std::clamp(o.etapasEstimadas, 0, kEtapasEstimadasMaximas));
    Local<T> local(mo);
    const bool conLocal = o.busquedaLocal && local.Cabe();
    std::vector<int32_t> s;
    T coste = 0;
    // One pass, then the local search from its sequence; false when stopped first.
    bool exacta = false;
    double anchuraMedia = 0;
    auto pasada = [&](uint64_t anchura) {
        if (!haz.Pasada(anchura, ctl, Racional{mejor.coste, q2}, s, coste, exacta, anchuraMedia)) return false;
        r.anchuras.push_back(anchura);
        r.demostrada = r.demostrada || exacta;
        if (conLocal) r.movimientosLocales += local.Mejorar(s, coste, ctl);
        if (static_cast<Natural128>(coste) < mejor.coste) {
            mejor.indices = s;
            mejor.coste = static_cast<Natural128>(coste);
            mejor.anchura = anchura;
        }
        ctl.Informar(mo.q, anchura, Racional{mejor.coste, q2}, true);
        return true;
    };

    if (o.anchura > 0) {
        pasada(std::min(o.anchura, haz.AnchuraMaxima()));
    } else {
        uint64_t anchura = 16;
        while (!ctl.Parar()) {
            const auto inicio = Reloj::now();
            if (!pasada(anchura) || exacta) break;
            const double t = std::chrono::duration<double>(Reloj::now() - inicio).count();
            if (anchura >= haz.AnchuraMaxima()) break;
            if (!ctl.ConLimite()) {
                if (anchura >= kAnchuraMejoraSinLimite) break;
                anchura *= 2;
                continue;
            }
            // A pass costs about its width (the mean width in force, when it had to
            // narrow). Double it while the time left holds the doubled pass and a wider
            // one after it; then one last pass as wide as the time left allows with a
            // margin, unless it is hardly wider. A pass that still runs late narrows
            // its last stages (Haz::Pasada).
            const double resto = ctl.Restante();
            const double hecha = std::min(static_cast<double>(anchura), std::max(anchuraMedia, 1.0));
            uint64_t siguiente = static_cast<uint64_t>(2 * hecha);
            if (resto < 5 * t) siguiente = static_cast<uint64_t>(hecha * resto / (1.1 * std::max(t, 1e-6)));
            if (siguiente < anchura + anchura / 4) break;
            anchura = std::min(siguiente, haz.AnchuraMaxima());
        }
    }
}

std::vector<int32_t> ProductosConDemanda(const EstadoSecuenciador& e) {
    std::vector<int32_t> productos;
    for (int32_t p = 1; p <= e.NProd; ++p) {
        const int32_t d = e.Demanda(p);
        if (d < 0)
            throw ErrorTavelorin("La mejora necesita demandas no negativas y la del producto " + std::to_string(p) +
                                 " es " + std::to_string(d));
        if (d > 0) productos.push_back(p);
    }
    if (productos.size() > static_cast<size_t>(kProductosMejora))
        throw ErrorTavelorin("La mejora admite hasta " + std::to_string(kProductosMejora) +
                             " productos con demanda y el problema tiene " + std::to_string(productos.size()));
    return productos;
}

void ComprobarPartida(const EstadoSecuenciador& e, const Secuencia& s) {
    std::vector<int64_t> cuentas(static_cast<size_t>(std::max(e.NProd, 0)), 0);
    bool bien = static_cast<int64_t>(s.size()) == e.Q;
    for (const int32_t p : s) {
        if (p < 1 || p > e.NProd) {
            bien = false;
            break;
        }
        ++cuentas[static_cast<size_t>(p - 1)];
    }
    for (int32_t p = 1; bien && p <= e.NProd; ++p) bien = cuentas[static_cast<size_t>(p - 1)] == e.Demanda(p);
    if (!bien)
        throw ErrorTavelorin("La secuencia de partida no hace cada producto tantas veces como su demanda");
}

}  // namespace

namespace detalle {

Control::Control(const OpcionesMejora& o, int32_t etapas)
    : cancelar_(o.cancelar),
      progreso_(o.progreso ? &o.progreso : nullptr),
      conLimite_(o.segundos > 0),
      limite_(Reloj::now() + std::chrono::duration_cast<Reloj::duration>(
                                 std::chrono::duration<double>(std::min(o.segundos, 1e9)))),
      intervalo_(std::chrono::duration_cast<Reloj::duration>(
          std::chrono::duration<double>(std::clamp(o.intervaloProgreso, 0.0, 1e9)))),
      etapas_(etapas) {}

double Control::Restante() const {
    return conLimite_ ? std::chrono::duration<double>(limite_ - Reloj::now()).count() : 1e300;
}

void Control::Informar(int32_t etapa, uint64_t anchura, const Racional& mejor, bool siempre) {
    if (progreso_ == nullptr) return;
    const auto ahora = Reloj::now();
    if (!siempre && ahora - ultimo_ < intervalo_) return;
    ultimo_ = ahora;
    (*progreso_)(ProgresoMejora{etapa, etapas_, anchura, mejor});
}

}  // namespace detalle

void ComprobarMejora(const EstadoSecuenciador& estado) {
    ProductosConDemanda(estado);
    Natural128 cota = 0;
    if (!CotaPorEtapa(estado, cota) || !Cabe(cota, estado.Q, static_cast<Natural128>(std::numeric_limits<Entero128>::max())))
        throw ErrorTavelorin("Los consumos son demasiado grandes para la mejora: "
                             "la variación podría salirse de los enteros de 128 bits");
}

double ExcesoPorcentaje(const Racional& a, const Racional& o) {
    if (a.denominador == o.denominador && a.numerador >= o.numerador && a.numerador - o.numerador <= kMaximo128 / 100)
        return Racional{(a.numerador - o.numerador) * 100, o.numerador}.Real();
    return (a.Real() - o.Real()) / o.Real() * 100;
}

Mejora MejorarSecuencia(const EstadoSecuenciador& estado, const Secuencia& persecucion,
                        const OpcionesMejora& opciones) {
    const auto inicio = Reloj::now();
    ComprobarMejora(estado);
    const std::vector<int32_t> productos = ProductosConDemanda(estado);
    Natural128 cota = 0;
    CotaPorEtapa(estado, cota);
    ComprobarPartida(estado, persecucion);

    Mejora r;
    Control ctl(opciones, estado.Q);
    r.variacionPersecucion = CalcularCalidad(estado, persecucion).componentes.variacion;
    r.secuencia = persecucion;
    r.variacion = r.variacionPersecucion;
    ctl.Informar(0, 0, r.variacion, true);

    Resultado mejor;  // the search's best, in product indices
    mejor.coste = r.variacion.numerador;
    try {
        bool hecho = r.variacion.numerador == 0;  // nothing is below 0
        r.demostrada = hecho;
        if (!hecho && opciones.limiteExacto > 0 && EstadosOptimo(estado) <= opciones.limiteExacto) {
            try {
                ComprobarOptimo(estado, opciones.limiteExacto);
                const Optimo o = CalcularOptimo(estado, opciones.limiteExacto, opciones.cancelar);
                if (!o.secuencia.empty()) {
                    r.estadosExacto = o.estados;
                    r.demostrada = hecho = true;
                    if (o.variacion.numerador < r.variacion.numerador) {
                        r.secuencia = o.secuencia;
                        r.variacion = o.variacion;
                    }
                    ctl.Informar(estado.Q, 0, r.variacion, true);
                }
            } catch (const ErrorTavelorin&) {
                // Out of memory, or sums beyond the optimum's reach: the search goes on.
            }
            if (ctl.Parar()) hecho = true;
        }
        if (!hecho) {
            std::vector<int32_t> indice(static_cast<size_t>(estado.NProd) + 1, -1);
            for (size_t i = 0; i < productos.size(); ++i) indice[static_cast<size_t>(productos[i])] = static_cast<int32_t>(i);
            for (const int32_t p : persecucion) mejor.indices.push_back(indice[static_cast<size_t>(p)]);
            if (Cabe(cota, estado.Q, static_cast<Natural128>(std::numeric_limits<int64_t>::max()))) {
                const Modelo<int64_t> mo = ConstruirModelo<int64_t>(estado, productos, ctl);
                if (!ctl.Parar()) Buscar(mo, opciones, ctl, mejor, r);
            } else {
                const Modelo<Entero128> mo = ConstruirModelo<Entero128>(estado, productos, ctl);
                if (!ctl.Parar()) Buscar(mo, opciones, ctl, mejor, r);
            }
        }
    } catch (const std::bad_alloc&) {
        // The best so far stands.
    }
    if (mejor.coste < r.variacion.numerador) {
        r.secuencia.clear();
        for (const int32_t i : mejor.indices) r.secuencia.push_back(productos[static_cast<size_t>(i)]);
        r.variacion = CalcularCalidad(estado, r.secuencia).componentes.variacion;
        r.anchuraMejor = mejor.anchura;
        if (r.variacion.numerador != mejor.coste) throw std::logic_error("mejora: la J de la búsqueda no cuadra");
    }
    r.cancelada = ctl.Cancelado();
    r.excesoPersecucion = ExcesoPorcentaje(r.variacionPersecucion, r.variacion);
    r.segundos = std::chrono::duration<double>(Reloj::now() - inicio).count();
    return r;
}

Mejora MejorarSecuencia(const EstadoSecuenciador& estado, const OpcionesMejora& opciones) {
    EstadoSecuenciador copia;
    copia.NProd = estado.NProd;
    copia.NComp = estado.NComp;
    copia.Q = estado.Q;
    copia.Datos = estado.Datos;
    try {
        IniciarTabla(copia);
        EjecutarEtapas(copia);
    } catch (const std::bad_alloc&) {
        throw ErrorTavelorin(mensajes::kSinMemoria);
    }
    const Secuencia persecucion = SecuenciaDeTabla(copia.TablaSolucion);
    copia.TablaSolucion = TablaEtapas{};
    return MejorarSecuencia(estado, persecucion, opciones);
}

std::vector<std::string> LineasMejora(const Mejora& mejora, std::string_view separador) {
    const FormatoReal formato = FormatoSecuencia(separador);
    std::vector<std::string> lineas;
    lineas.reserve(mejora.secuencia.size() + 5);
    lineas.emplace_back(kLineaMejora);
    for (const int32_t p : mejora.secuencia) lineas.push_back(std::to_string(p));
    auto linea = [&formato](const char* etiqueta, double valor) {
        std::string s = etiqueta;
        s.push_back('\t');
        AnadirTextoReal(s, valor, formato);
        return s;
    };
    lineas.push_back(linea("J mejorada", mejora.variacion.Real()));
    lineas.push_back(linea("J persecución", mejora.variacionPersecucion.Real()));
    lineas.push_back(linea("Exceso de la persecución (%)", mejora.excesoPersecucion));
    lineas.push_back(std::string("Óptima demostrada\t") + (mejora.demostrada ? "sí" : "no"));
    return lineas;
}

}  // namespace tavelorin
