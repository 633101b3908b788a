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
