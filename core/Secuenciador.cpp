#include "core/Secuenciador.h"

#include <cmath>
#include <cstring>
#include <new>

#include "core/Errores.h"
#include "core/Informe.h"
#include "core/Memoria.h"

namespace tavelorin {

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
    TablaEtapas& t = estado.TablaSolucion;
    const int32_t n = t.nProd;
    const int32_t m = t.nComp;
    const int32_t q = t.filas;
    const int64_t w = t.columnas;

    // Usages by product, demands and totals, read once.
    const detalle::DatosEtapas datos(estado);
    const std::vector<int32_t>& demandas = datos.demandas;
    const std::vector<int32_t>& totales = datos.totales;

    // Consumption and units so far, kept incrementally: whole numbers, so exact.
    std::vector<int64_t> consumo(static_cast<size_t>(m), 0);
    std::vector<int64_t> unidades(static_cast<size_t>(n), 0);
    std::vector<double> ideal(static_cast<size_t>(m));
    const long double divisor = q;

    for (int32_t k = 1; k <= q; ++k) {
        double* fila = t.Fila(k - 1);
        for (int32_t j = 0; j < m; ++j) {
            const int32_t kn = static_cast<int32_t>(static_cast<int64_t>(k) * totales[static_cast<size_t>(j)]);
            ideal[static_cast<size_t>(j)] = static_cast<double>(static_cast<long double>(kn) / divisor);
            fila[t.ColIdeal(j + 1)] = ideal[static_cast<size_t>(j)];
        }

        // Distances, then the choice: the smallest wins, ties to the lowest number.
        double mejor = 99999999999.0;
        int32_t elegido = 0;
        for (int32_t p = 0; p < n; ++p) {
            const int32_t* b = datos.Usos(p);
            double d = detalle::DistanciaEtapa(ideal.data(), consumo.data(), b, m);
            if (demandas[static_cast<size_t>(p)] <= unidades[static_cast<size_t>(p)]) d = -1;
            fila[t.ColDistancia(p + 1)] = d;
            if (d >= mejor || d == -1) continue;
            mejor = d;
            elegido = p + 1;
        }

        // The sequence so far: the previous row's choices, then this stage's.
        if (k > 1) std::memcpy(fila + t.ColSecuencia(1), fila - w + t.ColSecuencia(1), sizeof(double) * (k - 1));
        fila[t.ColSecuencia(k)] = elegido;

        if (elegido != 0) {
            const int32_t* b = datos.Usos(elegido - 1);
            for (int32_t j = 0; j < m; ++j) consumo[static_cast<size_t>(j)] += b[j];
            ++unidades[static_cast<size_t>(elegido - 1)];
        }
        for (int32_t j = 0; j < m; ++j) fila[t.ColConsumo(j + 1)] = static_cast<double>(consumo[static_cast<size_t>(j)]);
        for (int32_t p = 0; p < n; ++p) fila[t.ColUnidades(p + 1)] = static_cast<double>(unidades[static_cast<size_t>(p)]);
    }
}

namespace {

void AnadirLineas(std::vector<std::string>& destino, std::vector<std::string>&& lineas) {
    if (destino.empty()) {
        destino = std::move(lineas);
        return;
    }
    destino.insert(destino.end(), std::make_move_iterator(lineas.begin()), std::make_move_iterator(lineas.end()));
}

}  // namespace

void Secuenciar(EstadoSecuenciador& estado, const std::vector<std::string>& lineas,
                std::vector<std::string>& informe, std::vector<std::string>& secuencia,
                std::string_view separador) {
    try {
        LeerProblema(estado, lineas);
        IniciarTabla(estado);
        EjecutarEtapas(estado);
        std::vector<std::string> lineasInforme;
        std::vector<std::string> lineasSecuencia;
        EscribirInforme(estado.TablaSolucion, separador, lineasInforme, lineasSecuencia);
        AnadirLineas(informe, std::move(lineasInforme));
        AnadirLineas(secuencia, std::move(lineasSecuencia));
    } catch (const std::bad_alloc&) {
        throw ErrorTavelorin(mensajes::kSinMemoria);
    }
}

}  // namespace tavelorin
