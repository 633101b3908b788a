// Bytes of the problem and solution text files: encodings, line breaks, reading and
// atomic writing.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include <sys/types.h>

namespace tavelorin {

// Bytes of a text file to UTF-8. The first bytes choose the encoding: EF BB BF is UTF-8,
// FF FE UTF-16 little-endian, FE FF UTF-16 big-endian (the mark is dropped); without a
// mark the bytes are Windows-1252. Ill-formed input becomes U+FFFD.
std::string DecodificarBytes(std::string_view bytes);

// Lines of a text: a line ends at CR, LF or CR LF. A final break adds no empty line.
// Everything from the first NUL character on is ignored.
std::vector<std::string> DividirLineas(std::string_view texto);

// Whole file, decoded and split into lines. Throws ErrorTavelorin
// 'Cannot open file "<full path>". <reason>' when it cannot be opened or read.
std::vector<std::string> LeerLineasFichero(const std::string& nombre);

// UTF-8 to Windows-1252 bytes; each character the code page lacks (and each ill-formed
// sequence) becomes "?". Never writes a byte-order mark.
std::string CodificarWindows1252(std::string_view utf8);

// Writes every line followed by CR LF, in Windows-1252. Replaces the file atomically:
// on any failure the old file stays as it was. Errors (ErrorTavelorin):
// 'Cannot create file "<full path>". <reason>' or "Stream write error".
void EscribirLineasFichero(const std::string& nombre, const std::vector<std::string>& lineas);

// Same replacement as EscribirLineasFichero, with the bytes as given.
void EscribirBytesFichero(const std::string& nombre, std::string_view bytes);

// Solution file offered for a problem file: the name up to and including its first "."
// followed by "sol"; just "sol" when the name has no ".".
std::string NombreSolucionPropuesto(const std::string& ficheroProblema);

namespace prueba {
// Low-level write used for every block of data sent to a file (::write by default).
// Tests point it elsewhere to force short writes, EINTR or a failure partway.
using FuncionEscribir = ssize_t (*)(int fd, const void* datos, std::size_t n);
extern FuncionEscribir escribir;
}  // namespace prueba

}  // namespace tavelorin
