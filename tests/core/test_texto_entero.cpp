#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Errores.h"
#include "core/TextoEntero.h"

using namespace tavelorin;

namespace {

struct CasoEntero {
    const char* texto;
    bool valido;
    int32_t valor;
};

const CasoEntero kCasosEntero[] = {
    {"12", true, 12},
    {"+12", true, 12},
    {"012", true, 12},
    {"   12", true, 12},
    {"-0", true, 0},
    {"0", true, 0},
    {"-2147483648", true, INT32_MIN},
    {"2147483647", true, INT32_MAX},
    {"-2147483649", false, 0},
    {"2147483648", false, 0},
    {"99999999999999999999999", false, 0},
    {"$1F", true, 31},
    {"x1f", true, 31},
    {"X1F", true, 31},
    {"0x1F", true, 31},
    {"0X1f", true, 31},
    {"-$10", true, -16},
    {"+$10", true, 16},
    {"$FFFFFFFF", true, -1},
    {"$80000000", true, INT32_MIN},
    {"-$80000000", true, INT32_MIN},
    {"$000000000FF", true, 255},
    {"$100000000", false, 0},
    {"12 ", false, 0},
    {"1.5", false, 0},
    {"1e3", false, 0},
    {"1 2", false, 0},
    {"--1", false, 0},
    {"+-1", false, 0},
    {"-", false, 0},
    {"+", false, 0},
    {"$", false, 0},
    {"0x", false, 0},
    {"-0x", false, 0},
    {"$G", false, 0},
    {"", false, 0},
    {"   ", false, 0},
    {"\t12", false, 0},
    {"- 12", false, 0},
    {"0x$1", false, 0},
    {"1x2", false, 0},
    {"١٢", false, 0},
};

}  // namespace

TEST(TextoEntero, SigueLaReglaDeLosEnteros) {
    for (const CasoEntero& caso : kCasosEntero) {
        SCOPED_TRACE(std::string("texto: [") + caso.texto + "]");
        if (caso.valido) {
            EXPECT_EQ(TextoAEntero(caso.texto), caso.valor);
        } else {
            try {
                TextoAEntero(caso.texto);
                ADD_FAILURE() << "se esperaba un error";
            } catch (const ErrorTavelorin& e) {
                EXPECT_EQ(std::string(e.what()), std::string("''") + caso.texto + "'' is not a valid integer value");
            }
        }
    }
}

TEST(TextoEntero, ElMensajeLlevaLosEspaciosIniciales) {
    EXPECT_THROW(
        {
            try {
                TextoAEntero("  7 ");
            } catch (const ErrorTavelorin& e) {
                EXPECT_STREQ(e.what(), "''  7 '' is not a valid integer value");
                throw;
            }
        },
        ErrorTavelorin);
}

// A long text is quoted by its first 60 characters and "…", never cutting a UTF-8
// character; up to 60 characters it is quoted whole.
TEST(TextoEntero, ElMensajeCitaComoMuchoSesentaCaracteres) {
    const std::string x60(60, 'x');
    const struct {
        const char* nombre;
        std::string texto, cita;
    } casos[] = {
        {"60 caracteres", x60, x60},
        {"61 caracteres", x60 + "y", x60 + "…"},
        {"60 caracteres de dos bytes", [] { std::string s; for (int i = 0; i < 60; ++i) s += "ñ"; return s; }(),
         [] { std::string s; for (int i = 0; i < 60; ++i) s += "ñ"; return s; }()},
        {"el 61 es de tres bytes", x60 + "€" + "zz", x60 + "…"},
        {"el 60 es de cuatro bytes", std::string(59, 'x') + "😀" + "z", std::string(59, 'x') + "😀…"},
        {"un mega", std::string(1 << 20, '9') + "x", std::string(60, '9') + "…"},
        // Ill-formed bytes: a character takes a byte and at most three continuation
        // bytes, so 60 of them take at most 240 bytes.
        {"continuaciones sin fin", "a" + std::string(1000, '\x89'), "a" + std::string(3 + 59 * 4, '\x89') + "…"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.nombre);
        try {
            TextoAEntero(c.texto);
            ADD_FAILURE() << "no error";
        } catch (const ErrorTavelorin& e) {
            EXPECT_EQ(std::string(e.what()), "''" + c.cita + "'' is not a valid integer value");
        }
    }
}

TEST(LectorCampos, DaLosCamposTalCualYVaciosTrasElUltimo) {
    struct Caso {
        const char* linea;
        std::vector<std::string> campos;  // every field the line has
    };
    const Caso casos[] = {
        {"1\t\t3", {"1", "", "3"}},     {"", {""}},           {"abc", {"abc"}},
        {" a b \tc", {" a b ", "c"}},    {"\t", {"", ""}},     {"x\ty\tz", {"x", "y", "z"}},
        {"1\t2\t", {"1", "2", ""}},     {"ñú\t€", {"ñú", "€"}},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.linea);
        LectorCampos lector(caso.linea);
        for (const std::string& campo : caso.campos) {
            EXPECT_FALSE(lector.Agotada());
            EXPECT_EQ(lector.Siguiente(), campo);
        }
        EXPECT_TRUE(lector.Agotada());
        // Past the last field, empty fields.
        EXPECT_EQ(lector.Siguiente(), "");
        EXPECT_EQ(lector.Siguiente(), "");
        EXPECT_TRUE(lector.Agotada());
    }
}

TEST(Errores, ElManejadorAnadeUnPuntoSegunElUltimoCaracter) {
    struct Caso {
        const char* mensaje;
        const char* mostrado;
    };
    const Caso casos[] = {
        {"Out of memory", "Out of memory."},
        {"List index out of bounds (3)", "List index out of bounds (3)"},
        {"''x'' is not a valid integer value", "''x'' is not a valid integer value."},
        {"Listo.", "Listo."},
        {"dos -", "dos -"},
        {"abc 7", "abc 7."},
        {"", ""},
    };
    for (const Caso& caso : casos) EXPECT_EQ(TextoParaMostrar(caso.mensaje), caso.mostrado);
}
