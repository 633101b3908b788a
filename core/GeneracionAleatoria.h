// Random problems: seven parameters read from texts, and the problem written straight
// into the grid texts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/Aleatorio.h"
#include "core/Errores.h"
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

// The seven fields, in the dialog's order.
enum class CampoAleatorio {
    Productos,
    Componentes,
    UnidadesMinimas,
    UnidadesMaximas,
    Probabilidad,
    CantidadMinima,
    CantidadMaxima,
};

// A parameter refused, with the field it is about (the message may name two).
class ErrorCampoAleatorio : public ErrorTavelorin {
public:
    ErrorCampoAleatorio(CampoAleatorio campo, const std::string& mensaje) : ErrorTavelorin(mensaje), campo_(campo) {}
    ErrorCampoAleatorio(CampoAleatorio campo, const std::string& mensaje, std::string explicacion)
        : ErrorTavelorin(mensaje, std::move(explicacion)), campo_(campo) {}
    CampoAleatorio Campo() const { return campo_; }

private:
    CampoAleatorio campo_;
};

// Converts in this order: products, components, minimum and maximum units, minimum and
// maximum quantity (integer rule), then the probability after AjustarDecimal.
// Errors are ErrorCampoAleatorio naming the field that failed.
ParametrosAleatorios LeerParametrosAleatorios(const TextosAleatorios& textos, std::string_view separador);

// "El número de componentes no puede ser negativo (...)" when the component text holds
// a negative integer; nothing when it holds none (its conversion reports that later).
void ComprobarComponentesAleatorios(const TextosAleatorios& textos);

// Everything a random problem needs before anything changes, in this order: the
// component count not negative (ComprobarComponentesAleatorios), the seven conversions
// (LeerParametrosAleatorios), each pair of bounds not crossed, and a grid of n+1 rows
// by m+2 columns that the grid takes and memory holds (its messages, computed without
// wrapping). Errors are ErrorCampoAleatorio.
ParametrosAleatorios ComprobarParametrosAleatorios(const TextosAleatorios& textos, std::string_view separador);

// Sizes the grid to n+1 rows and m+2 columns (in 64 bits: a count the grid cannot take
// is refused with its message), labels it and fills it from the generator: for each
// product its demand, then for each component a presence draw and, when present, a
// quantity draw.
void GenerarProblemaAleatorio(MatrizProblema& matriz, const ParametrosAleatorios& p, GeneradorAleatorio& generador);

}  // namespace tavelorin
