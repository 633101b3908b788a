// Random problems: seven parameters read from texts, and the problem written straight
// into the grid texts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/Aleatorio.h"
#include "core/MatrizProblema.h"

namespace tavelorin {

// The texts as typed, in the dialog's fields.
struct TextosAleatorios {
    std::string productos = "10";            // ENProd
    std::string componentes = "20";          // ENComp
    std::string unidadesMinimas = "5";       // ENUMin
    std::string unidadesMaximas = "20";      // ENUMax
    std::string probabilidad = "0,5";        // EProbC
    std::string cantidadMinima = "1";        // ECantMin
    std::string cantidadMaxima = "5";        // ECantMax
};

struct ParametrosAleatorios {
    int32_t productos = 0;
    int32_t componentes = 0;
    int32_t unidadesMinimas = 0;
    int32_t unidadesMaximas = 0;
    double probabilidad = 0;
    int32_t cantidadMinima = 0;
    int32_t cantidadMaxima = 0;
};

// Converts in this order: products, components, minimum and maximum units, minimum and
// maximum quantity (integer rule), then the probability after AjustarDecimal.
ParametrosAleatorios LeerParametrosAleatorios(const TextosAleatorios& textos, std::string_view separador);

// "El número de componentes no puede ser negativo (...)" when the component text holds
// a negative integer; nothing when it holds none (its conversion reports that later).
void ComprobarComponentesAleatorios(const TextosAleatorios& textos);

// Sizes the grid to n+1 rows and m+2 columns, labels it and fills it from the generator:
// for each product its demand, then for each component a presence draw and, when
// present, a quantity draw.
void GenerarProblemaAleatorio(MatrizProblema& matriz, const ParametrosAleatorios& p, GeneradorAleatorio& generador);

}  // namespace tavelorin
