#include <gtest/gtest.h>

#include "core/BloqueTexto.h"
#include "core/Errores.h"
#include "core/MatrizProblema.h"
#include "core/Memoria.h"

using namespace tavelorin;

namespace {

using Filas = std::vector<std::vector<std::string>>;

Filas FilasDe(const BloqueTexto& b) {
    Filas r(static_cast<size_t>(b.filas));
    for (int32_t f = 0; f < b.filas; ++f)
        for (int32_t c = 0; c < b.columnas; ++c) r[static_cast<size_t>(f)].push_back(b.Celda(c, f));
    return r;
}

BloqueTexto BloqueDe(const Filas& filas) {
    BloqueTexto b(static_cast<int32_t>(filas.size()), filas.empty() ? 0 : static_cast<int32_t>(filas[0].size()));
    for (int32_t f = 0; f < b.filas; ++f)
        for (int32_t c = 0; c < b.columnas; ++c) b.Celda(c, f) = filas[static_cast<size_t>(f)][static_cast<size_t>(c)];
    return b;
}

MatrizProblema TresPorCuatro() {
    MatrizProblema m;
    m.FijarTamano(4, 6);
    m.Rotular();
    return m;
}

}  // namespace

// What spreadsheets and text editors put on the clipboard, and what each becomes.
TEST(LeerBloque, FormasDelPortapapeles) {
    struct Caso {
        const char* nombre;
        std::string texto;
        FormatoBloque formato;
        Filas esperado;
    };
    using F = FormatoBloque;
    const Caso casos[] = {
        {"vacio", "", F::Texto, {}},
        {"una celda", "7", F::Texto, {{"7"}}},
        {"una celda con salto final", "7\r\n", F::Texto, {{"7"}}},
        {"solo un salto: una celda vacia", "\n", F::Texto, {{""}}},
        {"tabulado CR LF", "1\t2\r\n3\t4\r\n", F::Texto, {{"1", "2"}, {"3", "4"}}},
        {"tabulado LF sin salto final", "1\t2\n3\t4", F::Texto, {{"1", "2"}, {"3", "4"}}},
        {"saltos CR", "1\t2\r3\t4\r", F::Texto, {{"1", "2"}, {"3", "4"}}},
        {"lineas cortas se rellenan", "1\t2\t3\n4\n", F::Texto, {{"1", "2", "3"}, {"4", "", ""}}},
        {"linea vacia en medio", "1\t2\n\n3\t4\n", F::Texto, {{"1", "2"}, {"", ""}, {"3", "4"}}},
        {"tabulador final: campo vacio", "1\t\n", F::Texto, {{"1", ""}}},
        {"dos saltos finales: una fila vacia", "1\n\n", F::Texto, {{"1"}, {""}}},
        {"punto y coma", "1;2\n3;4\n", F::Texto, {{"1", "2"}, {"3", "4"}}},
        {"tabulador antes que punto y coma", "1;2\t3\n", F::Texto, {{"1;2", "3"}}},
        {"comas en texto: una columna", "1,2\n3,4\n", F::Texto, {{"1,2"}, {"3,4"}}},
        {"comas en CSV", "1,2\r\n3,4\r\n", F::Csv, {{"1", "2"}, {"3", "4"}}},
        {"punto y coma en CSV", "1;2\r\n3;4\r\n", F::Csv, {{"1", "2"}, {"3", "4"}}},
        {"CSV entre comillas", "\"1\",\"2,5\"\r\n\"a\"\"b\",\"\"\r\n", F::Csv, {{"1", "2,5"}, {"a\"b", ""}}},
        {"salto dentro de comillas", "\"a\nb\"\t2\n3\t4\n", F::Texto, {{"a\nb", "2"}, {"3", "4"}}},
        {"separador dentro de comillas no cuenta", "\"1;2\"\n", F::Texto, {{"1;2"}}},
        {"comilla sin cerrar es texto", "\"5\t6\n", F::Texto, {{"\"5", "6"}}},
        {"comilla mal cerrada es texto", "\"5\"x\t6\n", F::Texto, {{"\"5\"x", "6"}}},
        {"comilla en medio es texto", "5\"\t6\n", F::Texto, {{"5\"", "6"}}},
        {"propio: solo tabuladores, sin comillas", "\"a\";b\t\"c\"\r\n", F::Tabulado, {{"\"a\";b", "\"c\""}}},
        {"propio: una columna con punto y coma", "1;2\r\n", F::Tabulado, {{"1;2"}}},
        {"espacios se conservan", " 1 \t 2\n", F::Texto, {{" 1 ", " 2"}}},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.nombre);
        EXPECT_EQ(FilasDe(LeerBloque(caso.texto, caso.formato)), caso.esperado);
    }
}

TEST(LeerBloque, SeparadorElegido) {
    EXPECT_EQ(SeparadorDeBloque("1\t2;3,4", FormatoBloque::Csv), '\t');
    EXPECT_EQ(SeparadorDeBloque("1;2,3", FormatoBloque::Csv), ';');
    EXPECT_EQ(SeparadorDeBloque("1,2", FormatoBloque::Csv), ',');
    EXPECT_EQ(SeparadorDeBloque("1,2", FormatoBloque::Texto), '\0');
    EXPECT_EQ(SeparadorDeBloque("\"1\t2\";3", FormatoBloque::Texto), ';');
}

// Copying and pasting back gives the same block, whatever the cells hold.
TEST(BloqueTexto, IdaYVuelta) {
    const BloqueTexto bloque = BloqueDe({{"1", "a,b", "\"c\""}, {"", "x\"y", "-3"}, {"ñ", " ", "$1F"}});
    EXPECT_EQ(LeerBloque(BloqueACsv(bloque), FormatoBloque::Csv), bloque);
    EXPECT_EQ(LeerBloque(BloqueATabulado(bloque), FormatoBloque::Tabulado), bloque);
    EXPECT_EQ(BloqueATabulado(BloqueDe({{"1", "2"}, {"3", ""}})), "1\t2\r\n3\t\r\n");
    EXPECT_EQ(BloqueACsv(BloqueDe({{"1", "a,b"}, {"x\"y", ""}})), "1,\"a,b\"\r\n\"x\"\"y\",\r\n");
}

TEST(BloqueTexto, UnBloqueQueNoCabeEnMemoria) {
    EstablecerFuenteMemoria([] { return uint64_t{1000}; });
    std::string ancho(2000, '\t');
    EXPECT_THROW(LeerBloque(ancho + "\n1\n2\n3\n", FormatoBloque::Texto), ErrorTavelorin);
    EstablecerFuenteMemoria({});
}

TEST(LimpiarTextoCelda, UnaLineaSinTabuladores) {
    const std::pair<std::string, std::string> casos[] = {
        {"12", "12"},
        {"1\t2", "1 2"},
        {"a\r\nb", "a b"},
        {"a\nb\rc", "a b c"},
        {std::string("a\0b", 3), "a b"},
        {"\r\n\r\n", "  "},
    };
    for (auto [texto, esperado] : casos) {
        LimpiarTextoCelda(texto);
        EXPECT_EQ(texto, esperado);
    }
}

// A swap puts the block in and takes the cells out; swapping again restores both. The
// count of empty cells follows, the part beyond the grid is left alone.
TEST(MatrizProblema, IntercambiarBloque) {
    MatrizProblema m = TresPorCuatro();
    BloqueTexto bloque = BloqueDe({{"1", "2", "3"}, {"4", "", "6"}});
    m.IntercambiarBloque(4, 2, bloque);  // columns 4..6 of rows 2..3: column 6 is beyond
    EXPECT_EQ(m.LineasProblema(), (std::vector<std::string>{"3", "4", "\t\t\t\t", "\t\t\t1\t2", "\t\t\t4\t"}));
    EXPECT_EQ(m.CeldasVacias(), 12);
    EXPECT_EQ(FilasDe(bloque), (Filas{{"", "", "3"}, {"", "", "6"}}));
    m.IntercambiarBloque(4, 2, bloque);
    EXPECT_EQ(m.LineasProblema(), TresPorCuatro().LineasProblema());
    EXPECT_EQ(m.CeldasVacias(), 15);
    EXPECT_EQ(FilasDe(bloque), (Filas{{"1", "2", "3"}, {"4", "", "6"}}));
}

TEST(MatrizProblema, BloqueRecortadoALaRejilla) {
    MatrizProblema m = TresPorCuatro();
    m.PonerCelda(5, 3, "9");
    EXPECT_EQ(FilasDe(m.Bloque(4, 2, 5, 5)), (Filas{{"", ""}, {"", "9"}}));
    EXPECT_EQ(FilasDe(m.Bloque(0, 0, 2, 1)), (Filas{{"Pr/Co", "1"}}));
    EXPECT_TRUE(m.Bloque(6, 1, 2, 2).Vacio());
}

// Whatever reaches a cell, the problem lines keep one line per product and one field
// per cell.
TEST(MatrizProblema, UnaCeldaNuncaTieneTabuladoresNiSaltos) {
    MatrizProblema m = TresPorCuatro();
    m.PonerCelda(1, 1, "1\t2");
    BloqueTexto bloque = BloqueDe({{"3\r\n4", "5\n"}});
    m.IntercambiarBloque(2, 1, bloque);
    const std::vector<std::string> lineas = m.LineasProblema();
    EXPECT_EQ(lineas[2], "1 2\t3 4\t5 \t\t");
}
