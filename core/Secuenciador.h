// Goal-chasing sequencer: the stage table and the run from problem lines to report, with
// the choice made on the floating-point distances or on exact integer sums.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/Informe.h"
#include "core/Problema.h"

namespace tavelorin {

// Sets up the stage table for Q stages of the problem just read: every row holds its
// stage number and 0 until its stage runs.
void IniciarTabla(EstadoSecuenciador& estado);

// Runs the stages k = 1..Q over a freshly set-up table: each stage chooses the product
// at the smallest distance, the lowest number among equals, exhausted products and
// distances of 99999999999 or more excluded.
void EjecutarEtapas(EstadoSecuenciador& estado);

// Runs the stages k = 1..Q over a freshly set-up table, as EjecutarEtapas does, but
// chooses by Σ_j (Q·(X(j) + b(p,j)) − k·N(j))² compared exactly in 128 bits, the lowest
// number among equals, exhausted products excluded. Every cell is what EjecutarEtapas
// would store from the same state: the distance columns of stage k are the
// floating-point distances from the consumption the exact choices of stages 1..k−1 left.
// Throws ErrorTavelorin when the sums could leave 128 bits.
void EjecutarEtapasExactas(EstadoSecuenciador& estado);

// Parses the lines and runs the stages into estado.TablaSolucion, from which any line of
// the report is produced (LineasInforme). Throws ErrorTavelorin on a bad problem or when
// the table would not fit in memory.
void SecuenciarTabla(EstadoSecuenciador& estado, const std::vector<std::string>& lineas);
// SecuenciarTabla with EjecutarEtapasExactas for the stages.
void SecuenciarTablaExacta(EstadoSecuenciador& estado, const std::vector<std::string>& lineas);

// SecuenciarTabla, then the whole report and sequence as lines; refused with "Out of
// memory" when the text would not fit as well.
Solucion Secuenciar(EstadoSecuenciador& estado, const std::vector<std::string>& lineas, std::string_view separador);

// Secuenciar with EjecutarEtapasExactas for the stages.
Solucion SecuenciarExacto(EstadoSecuenciador& estado, const std::vector<std::string>& lineas,
                          std::string_view separador);

}  // namespace tavelorin
