#include "core/Secuenciador.h"

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
    if (q > 0) {
        const uint64_t celdas = static_cast<uint64_t>(q) * static_cast<uint64_t>(w);
        ComprobarMemoria(celdas * sizeof(double));
        // calloc: all-zero cells, and untouched pages are never faulted in.
        double* datos = static_cast<double*>(std::calloc(celdas, sizeof(double)));
        if (datos == nullptr) throw ErrorTavelorin(mensajes::kSinMemoria);
        tabla.celdas.reset(datos);
        for (int64_t k = 0; k < q; ++k) datos[k * w] = static_cast<double>(k + 1);
    }
    tabla.filas = static_cast<int32_t>(q);
    tabla.columnas = static_cast<int32_t>(w);
    tabla.nProd = estado.NProd;
    tabla.nComp = estado.NComp;
    estado.TablaSolucion = std::move(tabla);
}

void EjecutarEtapas(EstadoSecuenciador& estado) {
    EleccionReal regla;
    detalle::RecorrerEtapas(estado, regla);
}

Solucion detalle::SecuenciarCon(EstadoSecuenciador& estado, const std::vector<std::string>& lineas,
                                std::string_view separador, void (*etapas)(EstadoSecuenciador&)) {
    try {
        LeerProblema(estado, lineas);
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

}  // namespace tavelorin
