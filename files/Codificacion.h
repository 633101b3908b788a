// Text encodings of the problem and solution files: bytes to UTF-8 (byte-order mark,
// UTF-8, UTF-16, Windows-1252), UTF-8 to Windows-1252, and line splitting.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tavelorin {

// Bytes of a text file to UTF-8. The first bytes choose the encoding: EF BB BF is UTF-8,
// FF FE UTF-16 little-endian, FE FF UTF-16 big-endian (the mark is dropped); without a
// mark the bytes are Windows-1252. Ill-formed input becomes U+FFFD.
std::string DecodificarBytes(std::string_view bytes);

// The encodings DecodificarBytes tells apart.
enum class Codificacion { Windows1252, Utf8, Utf16LE, Utf16BE };

// The encoding the first bytes of a file choose (as DecodificarBytes does), and the
// length of its byte-order mark in marca.
Codificacion ElegirCodificacion(std::string_view inicio, std::size_t& marca);

// True while the bytes read so far are a proper beginning of a byte-order mark, so the
// encoding cannot be chosen before more arrive (or the file ends).
bool PuedeSerMarca(std::string_view inicio);

// Appends the UTF-8 form of bytes (no mark) to texto, as DecodificarBytes decodes them.
// With final false, a character that more bytes could complete (a cut UTF-8 sequence, a
// high surrogate, an odd byte) is left out; returns the number of bytes used.
std::size_t AnadirDecodificado(std::string& texto, std::string_view bytes, Codificacion codificacion, bool final);

// Lines of a text: a line ends at CR, LF or CR LF. A final break adds no empty line.
// Everything from the first NUL character on is ignored.
std::vector<std::string> DividirLineas(std::string_view texto);

// UTF-8 to Windows-1252 bytes; each character the code page lacks (and each ill-formed
// sequence) becomes "?". Never writes a byte-order mark.
std::string CodificarWindows1252(std::string_view utf8);

// Where CodificarWindows1252En puts the bytes it makes: runs of bytes as they come.
class SalidaBytes {
public:
    virtual void Anadir(const char* datos, std::size_t n) = 0;

protected:
    ~SalidaBytes() = default;
};

// CodificarWindows1252 into a sink, so that long texts need not be held twice.
void CodificarWindows1252En(std::string_view utf8, SalidaBytes& salida);

}  // namespace tavelorin
