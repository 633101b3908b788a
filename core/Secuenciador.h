// Goal-chasing sequencer: the stage table and the run from problem lines to report.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "Problema.h"

namespace tavelorin {

// Sizes the stage table to Q rows of W columns: column 0 the stage number, the rest 0.
void IniciarTabla(EstadoSecuenciador& estado);

// Runs the stages k = 1..Q over a freshly set-up table.
void EjecutarEtapas(EstadoSecuenciador& estado);

// Parses the lines, runs the method and writes the report and sequence lines (both
// empty on entry). On failure both lists are left as they were.
void Secuenciar(EstadoSecuenciador& estado, const std::vector<std::string>& lineas,
                std::vector<std::string>& informe, std::vector<std::string>& secuencia,
                std::string_view separador);

}  // namespace tavelorin
