// Memory the system reports available, so that large problems are refused with
// "Out of memory" before the kernel would kill the program.
#pragma once

#include <cstdint>
#include <functional>

namespace tavelorin {

// Bytes available now (MemAvailable of /proc/meminfo); UINT64_MAX when unknown.
uint64_t MemoriaDisponible();

// Throws ErrorTavelorin("Out of memory") when bytes exceed the available memory.
void ComprobarMemoria(uint64_t bytes);

// The Spanish explanation that goes with "Out of memory": what happened and what the
// user can do. Every refusal by ComprobarMemoria comes before anything changes, so it
// says that nothing was lost.
const char* ExplicacionSinMemoria();

// Tests replace the source of the available memory; an empty function restores it.
void EstablecerFuenteMemoria(std::function<uint64_t()> fuente);

}  // namespace tavelorin
