// The errors of opening and creating files, as the user sees them: the full path and the
// system's reason, always in English.
#pragma once

#include <string>

#include <sys/types.h>

namespace tavelorin {

// Throws ErrorTavelorin 'Cannot open file "<full path>". <reason>'.
[[noreturn]] void LanzarErrorAlAbrir(const std::string& nombre, int error);

// Throws ErrorTavelorin 'Cannot create file "<full path>". <reason>'.
[[noreturn]] void LanzarErrorAlCrear(const std::string& nombre, int error);

// Throws ErrorTavelorin 'No se puede abrir "<full path>": es <kind>, no un archivo
// normal', for a FIFO, a socket or a device given where a file is read.
[[noreturn]] void LanzarNoEsFicheroNormal(const std::string& nombre, mode_t modo);

// The system's description of an errno value, always in English.
std::string DescripcionError(int error);

}  // namespace tavelorin
