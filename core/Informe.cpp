#include "core/Informe.h"

#include "core/TextoReal.h"

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
    const int32_t n = tabla.nProd;
    const int32_t q = tabla.filas;
    const FormatoReal formato = FormatoInforme(separador);
    const FormatoReal formatoSecuencia = FormatoSecuencia(separador);

    Solucion solucion;
    std::vector<std::string>& informe = solucion.informe;
    informe.reserve(static_cast<size_t>(q) + 1);
    informe.push_back(CabeceraInforme(tabla));

    // After a run, the sequence cells of a row are those of the row before plus this
    // stage's choice, followed by zeros: keep their text and extend it by one cell a
    // stage, so each line costs one copy of its bytes.
    std::vector<std::string> textoProducto(static_cast<size_t>(n) + 1);
    auto celdaProducto = [&](double valor) -> const std::string& {
        if (valor >= 0 && valor <= n && valor == static_cast<int32_t>(valor)) {
            std::string& texto = textoProducto[static_cast<size_t>(valor)];
            if (texto.empty()) AnadirTextoReal(texto, valor, formato);
            return texto;
        }
        static thread_local std::string otro;
        otro.clear();
        AnadirTextoReal(otro, valor, formato);
        return otro;
    };
    std::string ceros;
    ceros.reserve(2 * static_cast<size_t>(q));
    for (int32_t c = 0; c < q; ++c) ceros.append("\t0");
    std::string secuenciaHecha;
    std::string inicio;
    std::string fin;

    for (int32_t k = 1; k <= q; ++k) {
        const double* fila = tabla.Fila(k - 1);
        inicio.clear();
        AnadirTextoReal(inicio, fila[0], formato);
        for (int32_t p = 1; p <= n; ++p) {
            inicio.push_back('\t');
            AnadirTextoReal(inicio, fila[tabla.ColDistancia(p)], formato);
        }
        secuenciaHecha.push_back('\t');
        secuenciaHecha.append(celdaProducto(fila[tabla.ColSecuencia(k)]));
        // Consumption, units and ideal: the columns from the first consumption to the last.
        fin.clear();
        for (int32_t c = tabla.ColConsumo(1); c < tabla.columnas; ++c) {
            fin.push_back('\t');
            AnadirTextoReal(fin, fila[c], formato);
        }
        const size_t colasCeros = 2 * static_cast<size_t>(q - k);
        std::string linea;
        linea.reserve(inicio.size() + secuenciaHecha.size() + colasCeros + fin.size());
        linea.append(inicio);
        linea.append(secuenciaHecha);
        linea.append(ceros.data(), colasCeros);
        linea.append(fin);
        informe.push_back(std::move(linea));
    }

    if (q > 0) {
        const double* ultima = tabla.Fila(q - 1);
        solucion.secuencia.reserve(static_cast<size_t>(q));
        for (int32_t c = 1; c <= q; ++c)
            solucion.secuencia.push_back(TextoReal(ultima[tabla.ColSecuencia(c)], formatoSecuencia));
    }
    return solucion;
}

void AnadirSolucion(std::vector<std::string>& informe, const std::vector<std::string>& secuencia) {
    informe.reserve(informe.size() + 1 + secuencia.size());
    informe.emplace_back(kLineaSolucion);
    informe.insert(informe.end(), secuencia.begin(), secuencia.end());
}

}  // namespace tavelorin
