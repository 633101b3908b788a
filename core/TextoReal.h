// Real numbers as text, in the general format of the report: P significant digits,
// at least E exponent digits, fixed notation for exponents -3..P, scientific otherwise.
#pragma once

#include <optional>
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

namespace detalle {
// The 18 significant digits of a positive finite magnitude, correctly rounded, and the
// exponent x with magnitude = 0.d1d2...d18 x 10^x.
void Digitos18(double magnitud, char digitos[18], int& exponente);
// The same by integer arithmetic, for the common magnitudes; writes only the first
// cuantos digits; false when the value is out of its reach.
bool Digitos18Rapido(double magnitud, char* digitos, int& exponente, int cuantos = 18);
}  // namespace detalle

// Appends the text of valor to destino.
void AnadirTextoReal(std::string& destino, double valor, const FormatoReal& formato);
std::string TextoReal(double valor, const FormatoReal& formato);

}  // namespace tavelorin

namespace tavelorin {

// Real text rule for reading: leading spaces, a sign, digits with at most one decimal
// separator (a lone separator reads as 0), an optional exponent (E or e, a sign,
// digits; none reads as 0), trailing spaces. nullopt when the text does not follow it.
// The value is read with a 64-bit significand, as it is before being stored.
std::optional<long double> IntentarTextoAReal(std::string_view texto, std::string_view separador);

// Converts and stores as a double: "'%s' is not a valid floating point value" when
// the text does not follow the rule, "Floating point overflow" beyond the double range.
double TextoAReal(std::string_view texto, std::string_view separador);

// Returns the text unchanged when it converts; otherwise its first "," becomes "." or,
// without a ",", its first "." becomes ",".
std::string AjustarDecimal(std::string_view texto, std::string_view separador);

}  // namespace tavelorin
