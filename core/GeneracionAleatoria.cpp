#include "core/GeneracionAleatoria.h"

#include <algorithm>

#include "core/Errores.h"
#include "core/TextoEntero.h"
#include "core/TextoReal.h"

namespace tavelorin {

namespace {

// A field of the random problem, named as the dialog labels it.
int32_t Campo(const std::string& texto, const char* nombre) {
    if (const auto v = IntentarTextoAEntero(texto)) return *v;
    LanzarEnteroInvalido(texto, std::string("El ") + nombre + " del problema aleatorio no es un número entero.");
}

}  // namespace

ParametrosAleatorios LeerParametrosAleatorios(const TextosAleatorios& t, std::string_view separador) {
    ParametrosAleatorios p;
    p.productos = Campo(t.productos, "número de productos");
    p.componentes = Campo(t.componentes, "número de componentes");
    p.unidadesMinimas = Campo(t.unidadesMinimas, "número de unidades mínimas de producto");
    p.unidadesMaximas = Campo(t.unidadesMaximas, "número de unidades máximas de producto");
    p.cantidadMinima = Campo(t.cantidadMinima, "número de la cantidad mínima de componente en producto");
    p.cantidadMaxima = Campo(t.cantidadMaxima, "número de la cantidad máxima de componente en producto");
    try {
        p.probabilidad = TextoAReal(AjustarDecimal(t.probabilidad, separador), separador);
    } catch (const ErrorTavelorin& e) {
        const bool desborde = std::string_view(e.what()) == "Floating point overflow";
        throw ErrorTavelorin(e.what(), desborde ? "La probabilidad de componente en producto es demasiado grande "
                                                  "para representarla como número real; debe estar entre 0 y 1."
                                                : "La probabilidad de componente en producto no es un número real. "
                                                  "Escríbala con cifras y una coma o un punto decimal, por ejemplo 0,5.");
    }
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
