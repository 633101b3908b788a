#include "core/Informe.h"

#include "core/LineasInforme.h"

namespace tavelorin {

std::string CabeceraInforme(const TablaEtapas& tabla) {
    const int32_t n = tabla.nProd;
    const int32_t m = tabla.nComp;
    const int32_t q = tabla.filas;
    std::string linea = "K";
    auto grupo = [&linea](const char* prefijo, int32_t cuenta, const char* sufijo) {
        for (int32_t i = 1; i <= cuenta; ++i) {
            linea.push_back('\t');
            linea.append(prefijo);
            linea.append(std::to_string(i));
            linea.append(sufijo);
        }
    };
    grupo("Dk", n, "");
    grupo("s", q, "");
    grupo("X", m, "k");
    grupo("Ns", n, "");
    grupo("KN", m, "/Q");
    return linea;
}

Solucion EscribirInforme(const TablaEtapas& tabla, std::string_view separador) {
    Solucion solucion;
    const LineasInforme lineas(tabla, separador);
    const int32_t q = lineas.Etapas();
    if (q == 0) {
        solucion.informe.push_back(CabeceraInforme(tabla));
        return solucion;
    }
    solucion.informe.reserve(static_cast<size_t>(q) + 1);
    for (int64_t i = 0; i <= q; ++i) solucion.informe.push_back(lineas.Linea(i));
    solucion.secuencia.reserve(static_cast<size_t>(q));
    for (int64_t i = q + 2; i < lineas.Cantidad(); ++i) solucion.secuencia.push_back(lineas.Linea(i));
    return solucion;
}

void AnadirSolucion(std::vector<std::string>& informe, const std::vector<std::string>& secuencia) {
    informe.reserve(informe.size() + 1 + secuencia.size());
    informe.emplace_back(kLineaSolucion);
    informe.insert(informe.end(), secuencia.begin(), secuencia.end());
}

}  // namespace tavelorin
