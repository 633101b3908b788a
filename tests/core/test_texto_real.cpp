#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "core/TextoReal.h"

using namespace tavelorin;

namespace {

struct CasoReal {
    double valor;
    const char* texto;
};

}  // namespace

TEST(TextoReal, CeldasDelInforme) {
    const CasoReal casos[] = {
        {1, "1"},
        {-1, "-1"},
        {0, "0"},
        {-0.0, "0"},
        {0.75, "0.75"},
        {2.0 / 3.0, "0.6667"},
        {std::sqrt(0.3125), "0.559"},
        {std::sqrt(1.25), "1.118"},
        {123.456, "123.5"},
        {1234.5, "1235"},
        {9999, "9999"},
        {9999.5, "1E0004"},
        {10000, "1E0004"},
        {10004, "1E0004"},
        {10005, "1.001E0004"},
        {12345, "1.235E0004"},
        {65534, "6.553E0004"},
        {0.0001, "0.0001"},
        {0.000123456, "0.0001235"},
        {0.00001, "1E-0005"},
        {1e20, "1E0020"},
        {-2.0 / 3.0, "-0.6667"},
        {-12345, "-1.235E0004"},
        {0.5, "0.5"},
        {2.25, "2.25"},
        {0.9013878188659973, "0.9014"},
        {99.995, "100"},
        {0.99995, "1"},
        {9.9995, "9.999"},
        {0.00009999, "9.999E-0005"},
        {0.000099994, "9.999E-0005"},
        {1e-300, "1E-0300"},
        {1.5e300, "1.5E0300"},
        {5e-324, "4.941E-0324"},
        {10, "10"},
        {100.25, "100.3"},
        {1000.4, "1000"},
    };
    const FormatoReal formato = FormatoInforme(".");
    for (const CasoReal& caso : casos) {
        SCOPED_TRACE(caso.texto);
        EXPECT_EQ(TextoReal(caso.valor, formato), caso.texto);
    }
}

TEST(TextoReal, LineasDeSecuencia) {
    const CasoReal casos[] = {
        {12345, "12345"},
        {1e20, "1E20"},
        {1, "1"},
        {0, "0"},
        {65534, "65534"},
        {999999999999999, "999999999999999"},
        {1e15, "1E15"},
        {0.1, "0.1"},
        {1.0 / 3.0, "0.333333333333333"},
        {2.0 / 3.0, "0.666666666666667"},
        {0.001, "0.001"},
        {0.0001, "0.0001"},
        {0.00001, "1E-5"},
    };
    const FormatoReal formato = FormatoSecuencia(".");
    for (const CasoReal& caso : casos) {
        SCOPED_TRACE(caso.texto);
        EXPECT_EQ(TextoReal(caso.valor, formato), caso.texto);
    }
}

TEST(TextoReal, ElSeparadorEsUnParametro) {
    const CasoReal casos[] = {
        {std::sqrt(0.3125), "0,559"}, {0.9013878188659973, "0,9014"}, {2.25, "2,25"}, {1.5, "1,5"},
        {-1, "-1"},                   {10005, "1,001E0004"},          {0.00001, "1E-0005"}, {3, "3"},
    };
    const FormatoReal formato = FormatoInforme(",");
    for (const CasoReal& caso : casos) {
        SCOPED_TRACE(caso.texto);
        EXPECT_EQ(TextoReal(caso.valor, formato), caso.texto);
    }
}

TEST(TextoReal, LasCifrasRapidasSonLasExactas) {
    // The integer shortcut must give the 18 digits the C++ library gives, for every
    // value it accepts: random bit patterns over the whole range, and values of the
    // shapes the report prints (distances, ideals, halves and quarters).
    std::vector<double> valores;
    uint64_t s = 0x9E3779B97F4A7C15ull;
    auto siguiente = [&s] {
        s ^= s << 13;
        s ^= s >> 7;
        s ^= s << 17;
        return s;
    };
    for (int i = 0; i < 200000; ++i) {
        double v;
        const uint64_t bits = siguiente() & 0x7FFFFFFFFFFFFFFFull;
        std::memcpy(&v, &bits, sizeof v);
        if (std::isfinite(v) && v > 0) valores.push_back(v);
    }
    for (int i = 1; i < 20000; ++i) {
        valores.push_back(std::sqrt(static_cast<double>(i) / 16.0));
        valores.push_back(static_cast<double>(i) / 3.0);
        valores.push_back(static_cast<double>(i) * 0.25 + 0.5);
        valores.push_back(static_cast<double>(siguiente() % 100000) / 7.0);
    }
    for (double v : {0.5, 9999.5, 99999999999999999.0, 0.1, 1e-5, 1e22, 1e-22, 123456789012345678.0})
        valores.push_back(v);
    int rapidos = 0;
    for (double v : valores) {
        char exactas[18], rapidas[18];
        int x1 = 0, x2 = 0;
        detalle::Digitos18(v, exactas, x1);
        if (!detalle::Digitos18Rapido(v, rapidas, x2)) continue;
        ++rapidos;
        ASSERT_EQ(std::string(exactas, 18), std::string(rapidas, 18)) << v;
        ASSERT_EQ(x1, x2) << v;
    }
    EXPECT_GT(rapidos, 80000);  // the shortcut really covers the common values
}

TEST(TextoAReal, FueraDeRangoSegunLaMagnitudNoSegunElExponente) {
    // Beyond the range of long double the magnitude decides, wherever the digits put it:
    // a tiny value reads as zero and a huge one does not read, with or without exponent.
    const std::string ceros(4950, '0');
    struct Caso {
        std::string texto;
        bool valido;
        double valor;
    };
    const Caso casos[] = {
        {"0." + ceros + "1", true, 0},
        {"-0," + ceros + "1", true, -0.0},
        {"0." + ceros + "1e+5", true, 0},
        {"0." + ceros + "25e4951", true, 2.5},
        {"1" + ceros + "e-10", false, 0},
        {"1" + ceros + "e-4940", true, 1e10},
        {"1e-4950", true, 0},
        {"1e4933", false, 0},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.texto.substr(0, 20) + "... (" + std::to_string(caso.texto.size()) + ")");
        const std::string sep = caso.texto.find(',') != std::string::npos ? "," : ".";
        const std::optional<long double> v = IntentarTextoAReal(caso.texto, sep);
        ASSERT_EQ(v.has_value(), caso.valido);
        if (!caso.valido) continue;
        const double d = TextoAReal(caso.texto, sep);
        EXPECT_EQ(d, caso.valor);
        EXPECT_EQ(std::signbit(d), std::signbit(caso.valor));
    }
    try {
        TextoAReal("1" + ceros + "e-10", ".");
        ADD_FAILURE() << "se esperaba un error";
    } catch (const std::exception& e) {
        // A long text is quoted by its first 60 characters.
        EXPECT_EQ(std::string(e.what()), "'1" + std::string(59, '0') + "…' is not a valid floating point value");
    }
}
