// The problem and solution text files: reading them into lines and writing lines to them,
// on top of the encodings (Codificacion.h) and the atomic replace (ReemplazoAtomico.h).
#pragma once

#include <cstddef>
#include <functional>
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
// The same with the lines asked for one at a time, linea(i) for i = 0 .. cantidad - 1
// (UTF-8), so that no copy of the whole text is needed.
void EscribirLineasFichero(const std::string& nombre, std::size_t cantidad,
                           const std::function<std::string(std::size_t)>& linea);

// Solution file offered for a problem file: the same path with the extension of the
// file name (the part from its last ".", unless that is its first character) replaced
// by ".sol", or ".sol" appended when it has none; never the problem file itself (a
// problem named *.sol gets ".sol" appended). "sol" when there is no problem file.
std::string NombreSolucionPropuesto(const std::string& ficheroProblema);

}  // namespace tavelorin
