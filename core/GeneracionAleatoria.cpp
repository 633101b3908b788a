#include "core/GeneracionAleatoria.h"

#include <algorithm>

#include "core/Errores.h"
#include "core/TextoEntero.h"
#include "core/TextoReal.h"

namespace tavelorin {

ParametrosAleatorios LeerParametrosAleatorios(const TextosAleatorios& t, std::string_view separador) {
    ParametrosAleatorios p;
    p.productos = TextoAEntero(t.productos);
    p.componentes = TextoAEntero(t.componentes);
    p.unidadesMinimas = TextoAEntero(t.unidadesMinimas);
    p.unidadesMaximas = TextoAEntero(t.unidadesMaximas);
    p.cantidadMinima = TextoAEntero(t.cantidadMinima);
    p.cantidadMaxima = TextoAEntero(t.cantidadMaxima);
    p.probabilidad = TextoAReal(AjustarDecimal(t.probabilidad, separador), separador);
    return p;
}

void ComprobarComponentesAleatorios(const TextosAleatorios& textos) {
    if (const auto m = IntentarTextoAEntero(textos.componentes); m && *m < 0)
        throw ErrorTavelorin("El número de componentes no puede ser negativo (" + std::to_string(*m) + ")");
}

void GenerarProblemaAleatorio(MatrizProblema& matriz, const ParametrosAleatorios& p, GeneradorAleatorio& g) {
    const int32_t n = p.productos;
    const int32_t m = p.componentes;
    matriz.FijarFilas(static_cast<int32_t>(static_cast<uint32_t>(n) + 1u));
    matriz.FijarColumnas(static_cast<int32_t>(static_cast<uint32_t>(m) + 2u));
    matriz.Rotular();
    // Only the rows and columns the grid has: a count that wrapped past the 32-bit
    // range leaves a grid of one row, and no draw is made for rows that do not exist.
    const int32_t filas = std::min<int32_t>(n, matriz.Filas() - 1);
    const int32_t columnas = std::min<int32_t>(m, matriz.Columnas() - 2);
    for (int32_t i = 1; i <= filas; ++i) {
        matriz.PonerCelda(m + 1, i, std::to_string(g.EnteroAleatorio(p.unidadesMinimas, p.unidadesMaximas)));
        for (int32_t j = 1; j <= columnas; ++j) {
            const double r = g.RealAleatorio();
            matriz.PonerCelda(j, i, r >= p.probabilidad
                                         ? std::string("0")
                                         : std::to_string(g.EnteroAleatorio(p.cantidadMinima, p.cantidadMaxima)));
        }
    }
}

}  // namespace tavelorin
