// Real numbers as text, in the general format of the report: P significant digits,
// at least E exponent digits, fixed notation for exponents -3..P, scientific otherwise.
#pragma once

#include <string>
#include <string_view>

namespace tavelorin {

struct FormatoReal {
    int digitos;            // P, significant digits (1..18)
    int digitosExponente;   // E, minimum exponent digits
    std::string separador;  // decimal separator
};

// Report cells: P = 4, E = 4. Sequence lines: P = 15, E = 0.
FormatoReal FormatoInforme(std::string_view separador);
FormatoReal FormatoSecuencia(std::string_view separador);

// Appends the text of valor to destino.
void AnadirTextoReal(std::string& destino, double valor, const FormatoReal& formato);
std::string TextoReal(double valor, const FormatoReal& formato);

}  // namespace tavelorin
