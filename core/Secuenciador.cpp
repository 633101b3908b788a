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

namespace {

// calloc of cuantos elements: all zero, and pages never written are never faulted in.
template <typename T>
std::unique_ptr<T[], LiberarC> Ceros(uint64_t cuantos) {
    if (cuantos == 0) return nullptr;
    void* p = std::calloc(cuantos, sizeof(T));
    if (p == nullptr) throw ErrorTavelorin(mensajes::kSinMemoria);
    return std::unique_ptr<T[], LiberarC>(static_cast<T*>(p));
}

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
        const uint64_t etapas = static_cast<uint64_t>(q);
        datos->elecciones = Ceros<int32_t>(etapas);
        datos->distancias = Ceros<double>(etapas * static_cast<uint64_t>(n));
        datos->consumos = Ceros<int64_t>(etapas * static_cast<uint64_t>(m));
        datos->unidades = Ceros<int32_t>((etapas / TablaEtapas::kPasoUnidades + 1) * static_cast<uint64_t>(n));
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
