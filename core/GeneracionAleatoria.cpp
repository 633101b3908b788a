#include "core/GeneracionAleatoria.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/Errores.h"
#include "core/TextoEntero.h"
#include "core/TextoReal.h"

namespace tavelorin {

namespace {

// Runs a conversion; its error is raised again naming the field, with the explanation
// explicar gives for it.
template <class Conversion, class Explicacion>
auto EnCampo(CampoAleatorio campo, Explicacion&& explicar, Conversion&& conversion) {
    try {
        return conversion();
    } catch (const ErrorCampoAleatorio&) {
        throw;
    } catch (const ErrorTavelorin& e) {
        throw ErrorCampoAleatorio(campo, e.what(), explicar(e));
    }
}

}  // namespace

ParametrosAleatorios LeerParametrosAleatorios(const TextosAleatorios& t, std::string_view separador) {
    using C = CampoAleatorio;
    ParametrosAleatorios p;
    // An integer field, named as the dialog labels it.
    auto entero = [](const char* nombre) {
        return [nombre](const ErrorTavelorin&) {
            return std::string("El ") + nombre + " del problema aleatorio no es un número entero.";
        };
    };
    auto probabilidad = [](const ErrorTavelorin& e) {
        return std::string_view(e.what()) == "Floating point overflow"
                   ? std::string("La probabilidad de componente en producto es demasiado grande para representarla "
                                 "como número real; debe estar entre 0 y 1.")
                   : std::string("La probabilidad de componente en producto no es un número real. Escríbala con "
                                 "cifras y una coma o un punto decimal, por ejemplo 0,5.");
    };
    p.productos = EnCampo(C::Productos, entero("número de productos"), [&] { return TextoAEntero(t.productos); });
    p.componentes =
        EnCampo(C::Componentes, entero("número de componentes"), [&] { return TextoAEntero(t.componentes); });
    p.unidadesMinimas = EnCampo(C::UnidadesMinimas, entero("número de unidades mínimas de producto"),
                                [&] { return TextoAEntero(t.unidadesMinimas); });
    p.unidadesMaximas = EnCampo(C::UnidadesMaximas, entero("número de unidades máximas de producto"),
                                [&] { return TextoAEntero(t.unidadesMaximas); });
    p.cantidadMinima = EnCampo(C::CantidadMinima, entero("número de la cantidad mínima de componente en producto"),
                               [&] { return TextoAEntero(t.cantidadMinima); });
    p.cantidadMaxima = EnCampo(C::CantidadMaxima, entero("número de la cantidad máxima de componente en producto"),
                               [&] { return TextoAEntero(t.cantidadMaxima); });
    p.probabilidad = EnCampo(C::Probabilidad, probabilidad,
                             [&] { return TextoAReal(AjustarDecimal(t.probabilidad, separador), separador); });
    return p;
}

void ComprobarComponentesAleatorios(const TextosAleatorios& textos) {
    if (const auto m = IntentarTextoAEntero(textos.componentes); m && *m < 0)
        throw ErrorCampoAleatorio(CampoAleatorio::Componentes,
                                  "El número de componentes no puede ser negativo (" + std::to_string(*m) + ")");
}

ParametrosAleatorios ComprobarParametrosAleatorios(const TextosAleatorios& textos, std::string_view separador) {
    ComprobarComponentesAleatorios(textos);
    const ParametrosAleatorios p = LeerParametrosAleatorios(textos, separador);
    if (p.unidadesMinimas > p.unidadesMaximas)
        throw ErrorCampoAleatorio(CampoAleatorio::UnidadesMinimas,
                                  "El número de unidades mínimas de producto (" + std::to_string(p.unidadesMinimas) +
                                      ") es mayor que el número de unidades máximas de producto (" +
                                      std::to_string(p.unidadesMaximas) + ")");
    if (p.cantidadMinima > p.cantidadMaxima)
        throw ErrorCampoAleatorio(CampoAleatorio::CantidadMinima,
                                  "La cantidad mínima de componente en producto (" + std::to_string(p.cantidadMinima) +
                                      ") es mayor que la cantidad máxima de componente en producto (" +
                                      std::to_string(p.cantidadMaxima) + ")");
    const int64_t filas = std::max<int64_t>(int64_t{p.productos} + 1, 1);
    const int64_t columnas = std::max<int64_t>(int64_t{p.componentes} + 2, 1);
    try {
        MatrizProblema::ComprobarTamano(filas, columnas);
    } catch (const ErrorTavelorin& e) {
        // Too many rows is the products' fault, too many columns the components'; when
        // the cells do not fit, the larger count's.
        const bool deProductos =
            filas > MatrizProblema::kFilasMaximas || (columnas <= INT32_MAX && filas >= columnas);
        throw ErrorCampoAleatorio(deProductos ? CampoAleatorio::Productos : CampoAleatorio::Componentes, e.what());
    }
    return p;
}

void GenerarProblemaAleatorio(MatrizProblema& matriz, const ParametrosAleatorios& p, GeneradorAleatorio& g) {
    const int32_t n = p.productos;
    const int32_t m = p.componentes;
    matriz.FijarTamano(int64_t{n} + 1, int64_t{m} + 2);
    matriz.Rotular();
    // Only the rows and columns the grid has (none for a count of 0 or less).
    const int32_t filas = std::min<int32_t>(n, matriz.Filas() - 1);
    const int32_t columnas = std::min<int32_t>(m, matriz.Columnas() - 2);
    // The grid took m + 2 columns, so m + 1 does not wrap.
    const int32_t columnaDemanda = m + 1;
    for (int32_t i = 1; i <= filas; ++i) {
        matriz.PonerCelda(columnaDemanda, i, std::to_string(g.EnteroAleatorio(p.unidadesMinimas, p.unidadesMaximas)));
        for (int32_t j = 1; j <= columnas; ++j) {
            const double r = g.RealAleatorio();
            matriz.PonerCelda(j, i, r >= p.probabilidad
                                         ? std::string("0")
                                         : std::to_string(g.EnteroAleatorio(p.cantidadMinima, p.cantidadMaxima)));
        }
    }
}

}  // namespace tavelorin
