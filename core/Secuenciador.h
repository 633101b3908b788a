// Goal-chasing sequencer: the stage table and the run from problem lines to report, with
// the choice made on the floating-point distances or on exact integer sums.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/Informe.h"
#include "core/Problema.h"

namespace tavelorin {

// Sizes the stage table to Q rows of W columns: column 0 the stage number, the rest 0.
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

// Parses the lines, runs the stages and returns the report and sequence lines. Throws
// ErrorTavelorin on a bad problem or when memory runs short.
Solucion Secuenciar(EstadoSecuenciador& estado, const std::vector<std::string>& lineas, std::string_view separador);

// Secuenciar with EjecutarEtapasExactas for the stages.
Solucion SecuenciarExacto(EstadoSecuenciador& estado, const std::vector<std::string>& lineas,
                          std::string_view separador);

}  // namespace tavelorin
