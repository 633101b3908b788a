// Quality of a sequence: the output-rate variation J and the largest deviations from
// the ideal rates, for components and for products, in exact integer arithmetic; and
// the reading of a sequence from text lines, checked against the problem.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/FuenteLineas.h"
#include "core/Problema.h"

namespace tavelorin {

using Entero128 = __int128;
using Natural128 = unsigned __int128;

// A sequence: the product made at each stage k = 1..Q, numbered from 1.
using Secuencia = std::vector<int32_t>;

// An exact non-negative fraction, not reduced.
struct Racional {
    Natural128 numerador = 0;
    Natural128 denominador = 1;

    // The nearest double (ties to even); +infinity when the denominator is 0 and the
    // numerator is not.
    double Real() const;
};

// Decimal digits of v.
std::string TextoNatural(Natural128 v);

// The figures of one family of cumulative rates v(r,k) against their ideals k·t(r)/Q:
// the components (X(j,k) against k·N(j)/Q) or the products (Ns(p,k) against k·d(p)/Q).
struct Ritmos {
    Racional variacion;                 // Σ_k Σ_r (v − k·t/Q)², numerator over Q²
    Racional desviacionMaxima;          // max over k and r of |v − k·t/Q|, over Q
    std::vector<Racional> desviaciones; // max over k, for each r, over Q
};

struct Calidad {
    Ritmos componentes;  // J is componentes.variacion
    Ritmos productos;
};

// The figures of a sequence of Q stages for a problem as LeerProblema leaves it. An
// entry is a product number 1..n, or 0 for a stage that made nothing. Throws
// ErrorTavelorin when an entry is out of range, when the sequence is not Q long, or when
// a sum leaves 128 bits.
Calidad CalcularCalidad(const EstadoSecuenciador& estado, const Secuencia& secuencia);

// The quality block: "Calidad:", then one labelled line a figure (label, a tab, the
// value or values separated by tabs), reals as the sequence lines write them.
inline constexpr const char* kLineaCalidad = "Calidad:";
std::vector<std::string> LineasCalidad(const Calidad& calidad, std::string_view separador);

// The sequence of a run: the last row's sequence cells.
Secuencia SecuenciaDeTabla(const TablaEtapas& tabla);

// A sequence read from text, and what keeps it from fitting the problem.
struct SecuenciaLeida {
    Secuencia secuencia;
    std::vector<std::string> errores;  // empty when every product occurs d(p) times
};

// At most this many line errors and this many product errors are listed; a last line
// says how many more there are.
inline constexpr size_t kErroresListados = 20;

// One product number a line, by the integer rule. When a line is exactly "Solucion:"
// (a solution file, or the program's output), the sequence is the lines after the first
// such line up to the next block title (a line ending in ':') or the end, and nothing
// after that title is read. Line numbers in the errors count every line from 1; a line
// is quoted by TextoCitado. Memory stays within O(Q + n) whatever the lines: only the
// first Q products are kept, so with errors the sequence may be cut there.
SecuenciaLeida LeerSecuencia(const EstadoSecuenciador& estado, FuenteLineas& lineas);
SecuenciaLeida LeerSecuencia(const EstadoSecuenciador& estado, const std::vector<std::string>& lineas);

}  // namespace tavelorin
