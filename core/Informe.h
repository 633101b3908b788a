// The report text: the header and one tab-separated line per stage, the sequence
// lines, and the memo text that joins them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/Problema.h"

namespace tavelorin {

// Header line: K, Dk1.., s1.., X1k.., Ns1.., KN1/Q.., separated by tabs.
std::string CabeceraInforme(const TablaEtapas& tabla);

// The lines of a run: the report (the header and one line a stage) and the sequence
// (the last row's choices, one product a line).
struct Solucion {
    std::vector<std::string> informe;
    std::vector<std::string> secuencia;
};

// The header and the Q stage lines, and the Q sequence lines, of a table as a run of
// the stages leaves it, as whole lines (LineasInforme produces any of them alone).
Solucion EscribirInforme(const TablaEtapas& tabla, std::string_view separador);

// The memo text: the report lines, "Solucion:", then the sequence lines.
inline constexpr const char* kLineaSolucion = "Solucion:";
void AnadirSolucion(std::vector<std::string>& informe, const std::vector<std::string>& secuencia);

}  // namespace tavelorin
