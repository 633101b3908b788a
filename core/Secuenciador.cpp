#include "core/Secuenciador.h"

#include <cstdint>
#include <cstdlib>
#include <new>

#include "core/Errores.h"
#include "core/EtapasInterno.h"
#include "core/Memoria.h"

namespace tavelorin {

namespace {

// The smallest distance wins, the lowest number among equals; 99999999999 or more never.
struct EleccionReal {
    double mejor = 0;
    void Empezar() { mejor = 99999999999.0; }
    bool Mejora(const detalle::Etapa&, const int32_t*, double distancia) {
        if (distancia >= mejor) return false;
        mejor = distancia;
        return true;
    }
};

}  // namespace

void IniciarTabla(EstadoSecuenciador& estado) {
    const int64_t n = estado.NProd;
    const int64_t m = estado.NComp;
    const int64_t q = estado.Q;
    const int64_t w = 1 + n + q + m + n + m;
    if (q < 0 || w < 0) throw ErrorTavelorin(mensajes::kRangoInvalido);
    TablaEtapas tabla;
    auto datos = std::make_shared<TablaEtapas::Datos>();
    if (q > 0) {
        ComprobarMemoria(MemoriaNecesaria(n, m, q));
        // Consumptions fit in 32 bits when each component's usages by the demands do: no
        // partial sum of a sequence can pass Σ |b(p,j)|·max(d(p), 0).
        bool estrechos = true;
        for (int64_t j = 0; j < m && estrechos; ++j) {
            int64_t cota = 0;
            for (int64_t p = 0; p < n && estrechos; ++p) {
                const int64_t b = estado.Datos(p, j), d = estado.Datos(p, m);
                cota += (b < 0 ? -b : b) * (d > 0 ? d : 0);
                estrechos = cota <= INT32_MAX;
            }
        }
        // One block, the 8-byte values first: distances, consumptions, choices, units.
        const uint64_t etapas = static_cast<uint64_t>(q);
        const uint64_t consumos = etapas * static_cast<uint64_t>(m), distancias = etapas * static_cast<uint64_t>(n);
        const uint64_t unidades = (etapas / TablaEtapas::kPasoUnidades + 1) * static_cast<uint64_t>(n);
        const uint64_t anchoConsumo = estrechos ? 4 : 8;
        datos->bloque = BloqueCeros(8 * distancias + anchoConsumo * consumos + 4 * (etapas + unidades));
        char* p = datos->bloque.Datos();
        datos->distancias = reinterpret_cast<double*>(p);
        p += 8 * distancias;
        if (estrechos)
            datos->consumos32 = reinterpret_cast<int32_t*>(p);
        else
            datos->consumos = reinterpret_cast<int64_t*>(p);
        p += anchoConsumo * consumos;
        datos->elecciones = reinterpret_cast<int32_t*>(p);
        datos->unidades = datos->elecciones + etapas;
        datos->totales.resize(static_cast<size_t>(m));
        for (int64_t j = 0; j < m; ++j) datos->totales[static_cast<size_t>(j)] = estado.Datos(n, j);
    }
    tabla.filas = static_cast<int32_t>(q);
    tabla.columnas = w;
    tabla.nProd = estado.NProd;
    tabla.nComp = estado.NComp;
    tabla.hechas = 0;
    tabla.datos = std::move(datos);
    estado.TablaSolucion = std::move(tabla);
}

void EjecutarEtapas(EstadoSecuenciador& estado) {
    EleccionReal regla;
    detalle::RecorrerEtapas(estado, regla);
}

void detalle::SecuenciarTablaCon(EstadoSecuenciador& estado, const std::vector<std::string>& lineas,
                                 void (*etapas)(EstadoSecuenciador&)) {
    try {
        LeerProblema(estado, lineas);
        IniciarTabla(estado);
        etapas(estado);
    } catch (const std::bad_alloc&) {
        throw ErrorTavelorin(mensajes::kSinMemoria);
    }
}

Solucion detalle::SecuenciarCon(EstadoSecuenciador& estado, const std::vector<std::string>& lineas,
                                std::string_view separador, void (*etapas)(EstadoSecuenciador&)) {
    try {
        LeerProblema(estado, lineas);
        // The whole text is built below: it must fit as well as the table.
        ComprobarMemoria(MemoriaNecesaria(estado.NProd, estado.NComp, estado.Q) +
                         MemoriaTextoInforme(estado.NProd, estado.NComp, estado.Q));
        IniciarTabla(estado);
        etapas(estado);
        return EscribirInforme(estado.TablaSolucion, separador);
    } catch (const std::bad_alloc&) {
        throw ErrorTavelorin(mensajes::kSinMemoria);
    }
}

Solucion Secuenciar(EstadoSecuenciador& estado, const std::vector<std::string>& lineas, std::string_view separador) {
    return detalle::SecuenciarCon(estado, lineas, separador, EjecutarEtapas);
}

void SecuenciarTabla(EstadoSecuenciador& estado, const std::vector<std::string>& lineas) {
    detalle::SecuenciarTablaCon(estado, lineas, EjecutarEtapas);
}

}  // namespace tavelorin
