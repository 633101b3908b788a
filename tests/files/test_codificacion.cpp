// Bytes to text and back: the encodings of the problem and solution files, line splitting.
#include "files/Codificacion.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

namespace tavelorin {
namespace {

using namespace std::string_literals;
using Lineas = std::vector<std::string>;

// --- Decoding ---

// The 27 characters Windows-1252 places in 0x80..0x9F, in byte order.
const std::string kTramo80a9F =
    "\x80\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8E\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9A\x9B\x9C\x9E\x9F";
const std::string kTramo80a9FUtf8 = "€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ";

struct CasoDecodificar {
    const char* nombre;
    std::string bytes;
    std::string texto;
};

TEST(DecodificarBytes, EligeLaCodificacionPorLaMarcaYSustituyeLoMalFormado) {
    const CasoDecodificar casos[] = {
        {"vacio", ""s, ""s},
        {"ascii sin marca", "3\r\n1\t0\t2"s, "3\r\n1\t0\t2"s},
        {"1252 acentos", "N\xFAmero a\xF1o"s, "Número año"s},
        {"1252 euro", "\x80"s, "€"s},
        {"1252 tramo 80-9F", kTramo80a9F, kTramo80a9FUtf8},
        {"1252 bytes sin definir", "\x81\x8D\x8F\x90\x9D"s, "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"s},
        {"1252 latin-1", "\xA0\xC7\xFF"s, "\xC2\xA0Çÿ"s},
        {"1252 NUL se conserva", "a\0b"s, "a\0b"s},
        {"marca utf-8 incompleta", "\xEF\xBB"s, "ï»"s},
        {"FF solo", "\xFF"s, "ÿ"s},
        {"FE solo", "\xFE"s, "þ"s},
        {"FE FE no es marca", "\xFE\xFE"s, "þþ"s},
        {"utf-8", "\xEF\xBB\xBFNúmero € 中 😀"s, "Número € 中 😀"s},
        {"utf-8 solo la marca", "\xEF\xBB\xBF"s, ""s},
        {"utf-8 segunda marca es texto", "\xEF\xBB\xBF\xEF\xBB\xBF"s, "\xEF\xBB\xBF"s},
        {"utf-8 U+FFFD real", "\xEF\xBB\xBF\xEF\xBF\xBD"s, "\xEF\xBF\xBD"s},
        {"utf-8 continuacion suelta", "\xEF\xBB\xBF" "a\x80" "b"s, "a\uFFFDb"s},
        {"utf-8 forma larga", "\xEF\xBB\xBF\xC0\x80"s, "\uFFFD\uFFFD"s},
        {"utf-8 forma larga de tres bytes", "\xEF\xBB\xBF\xE0\x9F\xBF"s, "\uFFFD\uFFFD\uFFFD"s},
        {"utf-8 forma larga de cuatro bytes", "\xEF\xBB\xBF\xF0\x8F\xBF\xBF"s, "\uFFFD\uFFFD\uFFFD\uFFFD"s},
        {"utf-8 limites validos", "\xEF\xBB\xBF\xE0\xA0\x80\xED\x9F\xBF\xF4\x8F\xBF\xBF"s, "\u0800\uD7FF\U0010FFFF"s},
        {"utf-8 secuencia cortada", "\xEF\xBB\xBF\xE2\x82" "A"s, "\uFFFDA"s},
        {"utf-8 secuencia cortada al final", "\xEF\xBB\xBF" "a\xE2\x82"s, "a\uFFFD"s},
        {"utf-8 suplente codificado", "\xEF\xBB\xBF\xED\xA0\x80"s, "\uFFFD\uFFFD\uFFFD"s},
        {"utf-8 mas alla de U+10FFFF", "\xEF\xBB\xBF\xF4\x90\x80\x80"s, "\uFFFD\uFFFD\uFFFD\uFFFD"s},
        {"utf-8 byte F5", "\xEF\xBB\xBF\xF5" "a"s, "\uFFFDa"s},
        {"utf-16le", "\xFF\xFE" "A\0\xAC\x20\xF1\0"s, "A€ñ"s},
        {"utf-16le solo la marca", "\xFF\xFE"s, ""s},
        {"utf-16le par suplente", "\xFF\xFE\x3D\xD8\x00\xDE"s, "😀"s},
        {"utf-16le alto sin pareja", "\xFF\xFE\x3D\xD8" "A\0"s, "\uFFFDA"s},
        {"utf-16le alto al final", "\xFF\xFE" "A\0\x3D\xD8"s, "A\uFFFD"s},
        {"utf-16le bajo suelto", "\xFF\xFE\x00\xDE" "A\0"s, "\uFFFDA"s},
        {"utf-16le byte impar", "\xFF\xFE" "A\0" "B"s, "A\uFFFD"s},
        {"utf-16be", "\xFE\xFF\0" "A\x20\xAC\0\xF1"s, "A€ñ"s},
        {"utf-16be par suplente", "\xFE\xFF\xD8\x3D\xDE\x00"s, "😀"s},
        {"utf-16be bajo suelto", "\xFE\xFF\xDE\x00\0" "A"s, "\uFFFDA"s},
        {"utf-16be byte impar", "\xFE\xFF\0" "A\0"s, "A\uFFFD"s},
    };
    for (const CasoDecodificar& c : casos) {
        EXPECT_EQ(DecodificarBytes(c.bytes), c.texto) << c.nombre;
    }
}

// The bulk ASCII copy works on words; put the first non-ASCII byte at every offset
// within and around a word.
TEST(DecodificarBytes, ByteNoAsciiEnCualquierPosicionDelBloque) {
    for (std::size_t k = 0; k < 20; ++k) {
        const std::string antes(k, 'x'), despues(13, 'y');
        EXPECT_EQ(DecodificarBytes(antes + "\xE9" + despues), antes + "é" + despues) << k;
        EXPECT_EQ(DecodificarBytes("\xEF\xBB\xBF" + antes + "\xE9" + despues), antes + "\uFFFD" + despues) << k;
        EXPECT_EQ(DecodificarBytes("\xEF\xBB\xBF" + antes + "é" + despues), antes + "é" + despues) << k;
        EXPECT_EQ(CodificarWindows1252(antes + "é" + despues), antes + "\xE9" + despues) << k;
    }
}

TEST(DecodificarBytes, TextoAsciiGrandeConAcentoAlFinal) {
    const std::string ascii(8 << 20, 'q');
    const std::string texto = DecodificarBytes(ascii + "\xF1");
    ASSERT_EQ(texto.size(), ascii.size() + 2);
    EXPECT_EQ(texto.compare(0, ascii.size(), ascii), 0);
    EXPECT_EQ(texto.substr(ascii.size()), "ñ");
}

// --- Line splitting ---

struct CasoLineas {
    const char* nombre;
    std::string texto;
    Lineas lineas;
};

TEST(DividirLineas, CortesCrLfYCrLfYParadaEnNul) {
    const CasoLineas casos[] = {
        {"vacio", ""s, {}},
        {"una sin salto", "12"s, {"12"}},
        {"LF", "a\nb"s, {"a", "b"}},
        {"CR", "a\rb"s, {"a", "b"}},
        {"CR LF", "a\r\nb"s, {"a", "b"}},
        {"mezcla", "a\rb\nc\r\nd"s, {"a", "b", "c", "d"}},
        {"salto final LF", "a\nb\n"s, {"a", "b"}},
        {"salto final CR", "a\r"s, {"a"}},
        {"salto final CR LF", "a\r\n"s, {"a"}},
        {"solo un salto", "\n"s, {""}},
        {"vacia en medio LF", "a\n\nb"s, {"a", "", "b"}},
        {"vacia en medio CR LF", "a\r\n\r\nb"s, {"a", "", "b"}},
        {"LF CR son dos saltos", "a\n\rb"s, {"a", "", "b"}},
        {"CR CR LF", "a\r\r\nb"s, {"a", "", "b"}},
        {"vacias al final", "a\n\n\n"s, {"a", "", ""}},
        {"tabuladores se conservan", "1\t0\t2\r\n"s, {"1\t0\t2"}},
        {"NUL corta", "12\0" "34\n5"s, {"12"}},
        {"NUL tras salto", "a\r\n\0b"s, {"a"}},
        {"NUL al principio", "\0abc"s, {}},
        {"NUL en segunda linea", "a\nb\0c\nd"s, {"a", "b"}},
        {"CR y NUL", "a\r\0\nb"s, {"a"}},
    };
    for (const CasoLineas& c : casos) {
        EXPECT_EQ(DividirLineas(c.texto), c.lineas) << c.nombre;
    }
}

// --- Encoding ---

struct CasoCodificar {
    const char* nombre;
    std::string texto;
    std::string bytes;
};

TEST(CodificarWindows1252, CaracteresDeLaPaginaYSustitucionPorInterrogacion) {
    const CasoCodificar casos[] = {
        {"vacio", ""s, ""s},
        {"ascii", "3\t2\r\n"s, "3\t2\r\n"s},
        {"acento", "Número"s, "N\xFAmero"s},
        {"euro", "€"s, "\x80"s},
        {"eñe", "ñ"s, "\xF1"s},
        {"tramo 80-9F", kTramo80a9FUtf8, kTramo80a9F},
        {"controles C1 definidos por Windows", "\xC2\x81\xC2\x90"s, "\x81\x90"s},
        {"control C1 sin byte", "\xC2\x80\xC2\x9F"s, "??"s},
        {"chino", "中"s, "?"s},
        {"uno por caracter", "a中b😀c"s, "a?b?c"s},
        {"marca de orden no se escribe", "\uFEFFa"s, "?a"s},
        {"utf-8 mal formado", "\xC0\x80" "a\xE2\x82"s, "??a?"s},
        {"NUL", "a\0b"s, "a\0b"s},
    };
    for (const CasoCodificar& c : casos) {
        EXPECT_EQ(CodificarWindows1252(c.texto), c.bytes) << c.nombre;
    }
}

TEST(CodificarWindows1252, LosDoscientosCincuentaYSeisBytesVanYVuelven) {
    std::string todos;
    for (int b = 0; b < 256; ++b) todos.push_back(static_cast<char>(b));
    const std::string texto = DecodificarBytes(todos);
    EXPECT_EQ(texto.find("\uFFFD"), std::string::npos);
    EXPECT_EQ(CodificarWindows1252(texto), todos);
}

}  // namespace
}  // namespace tavelorin
