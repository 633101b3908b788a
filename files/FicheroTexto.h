// The problem and solution text files: reading them into lines and writing lines to them,
// on top of the encodings (Codificacion.h) and the atomic replace (ReemplazoAtomico.h).
#pragma once

#include <string>
#include <vector>

#include "files/Codificacion.h"

namespace tavelorin {

// Whole file, decoded and split into lines. Throws ErrorTavelorin
// 'Cannot open file "<full path>". <reason>' when it cannot be opened or read.
std::vector<std::string> LeerLineasFichero(const std::string& nombre);

// Writes every line followed by CR LF, in Windows-1252. Replaces the file atomically:
// on any failure the old file stays as it was. Errors (ErrorTavelorin):
// 'Cannot create file "<full path>". <reason>' or "Stream write error".
void EscribirLineasFichero(const std::string& nombre, const std::vector<std::string>& lineas);

// Solution file offered for a problem file: the name up to and including its first "."
// followed by "sol"; just "sol" when the name has no ".".
std::string NombreSolucionPropuesto(const std::string& ficheroProblema);

}  // namespace tavelorin
