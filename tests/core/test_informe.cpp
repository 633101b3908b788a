#include <gtest/gtest.h>

#include "core/Informe.h"
#include "core/LineasInforme.h"
#include "core/Secuenciador.h"
#include "core/TextoReal.h"
#include "soporte/EtapasLiteral.h"
#include "soporte/TablaCompleta.h"
#include "soporte/TramosInforme.h"
#include "tests/core/ProblemasPequenos.h"

using namespace tavelorin;
using namespace tavelorin::prueba;

namespace {

const Lineas kEjemplo = {"3", "2", "1\t0\t2", "0\t1\t1", "1\t1\t1"};

Lineas Memo(const Lineas& problema, std::string_view separador) {
    EstadoSecuenciador e;
    Solucion s = Secuenciar(e, problema, separador);
    AnadirSolucion(s.informe, s.secuencia);
    return s.informe;
}

// Every cell of every row through the formatter, one at a time.
Lineas InformeCeldaACelda(const TablaEtapas& t, std::string_view separador) {
    Lineas r = {CabeceraInforme(t)};
    const FormatoReal f = FormatoInforme(separador);
    for (int32_t k = 0; k < t.filas; ++k) {
        std::string linea;
        for (int32_t c = 0; c < t.columnas; ++c) {
            if (c > 0) linea += '\t';
            linea += TextoReal(t.Celda(k, c), f);
        }
        r.push_back(linea);
    }
    return r;
}

}  // namespace

TEST(Informe, TextoDelEjemploTrabajado) {
    const Lineas esperado = {
        "K\tDk1\tDk2\tDk3\ts1\ts2\ts3\ts4\tX1k\tX2k\tNs1\tNs2\tNs3\tKN1/Q\tKN2/Q",
        "1\t0.559\t0.9014\t0.559\t1\t0\t0\t0\t1\t0\t1\t0\t0\t0.75\t0.5",
        "2\t1.118\t0.5\t0.5\t1\t2\t0\t0\t1\t1\t1\t1\t0\t1.5\t1",
        "3\t0.559\t-1\t0.559\t1\t2\t1\t0\t2\t1\t2\t1\t0\t2.25\t1.5",
        "4\t-1\t-1\t0\t1\t2\t1\t3\t3\t2\t2\t1\t1\t3\t2",
        "Solucion:",
        "1",
        "2",
        "1",
        "3",
    };
    EXPECT_EQ(Memo(kEjemplo, "."), esperado);
}

TEST(Informe, ConComaDecimal) {
    const Lineas memo = Memo(kEjemplo, ",");
    ASSERT_EQ(memo.size(), 10u);
    EXPECT_EQ(memo[1], "1\t0,559\t0,9014\t0,559\t1\t0\t0\t0\t1\t0\t1\t0\t0\t0,75\t0,5");
    EXPECT_EQ(memo[3], "3\t0,559\t-1\t0,559\t1\t2\t1\t0\t2\t1\t2\t1\t0\t2,25\t1,5");
    EXPECT_EQ(memo[2], "2\t1,118\t0,5\t0,5\t1\t2\t0\t0\t1\t1\t1\t1\t0\t1,5\t1");
}

TEST(Informe, FormasDelTexto) {
    struct Caso {
        const char* nombre;
        Lineas problema;
        Lineas esperado;
    };
    const Caso casos[] = {
        {"sin componentes",
         {"2", "0", "2", "1"},
         {"K\tDk1\tDk2\ts1\ts2\ts3\tNs1\tNs2", "1\t0\t0\t1\t0\t0\t1\t0", "2\t0\t0\t1\t1\t0\t2\t0",
          "3\t-1\t0\t1\t1\t2\t2\t1", "Solucion:", "1", "1", "2"}},
        {"una etapa", {"1", "1", "3\t1"}, {"K\tDk1\ts1\tX1k\tNs1\tKN1/Q", "1\t0\t1\t3\t1\t3", "Solucion:", "1"}},
    };
    for (const Caso& caso : casos) {
        SCOPED_TRACE(caso.nombre);
        EXPECT_EQ(Memo(caso.problema, "."), caso.esperado);
    }
}

TEST(Informe, LaCabeceraNoUsaNotacionCientifica) {
    TablaEtapas t;  // the header reads only the counts
    t.filas = 10005;
    t.nProd = 1;
    t.nComp = 0;
    const std::string cabecera = CabeceraInforme(t);
    EXPECT_NE(cabecera.find("\ts10000\ts10001\t"), std::string::npos);
    EXPECT_EQ(cabecera.substr(cabecera.size() - 11), "\ts10005\tNs1");
    // ... while the stage cells of those rows switch to it.
    const FormatoReal f = FormatoInforme(".");
    EXPECT_EQ(TextoReal(10000, f), "1E0004");
    EXPECT_EQ(TextoReal(10005, f), "1.001E0004");
    EXPECT_EQ(TextoReal(10005, FormatoSecuencia(".")), "10005");
}

TEST(Informe, IgualQueCeldaACelda) {
    // The line-by-line shortcut must give exactly the text of formatting each cell.
    const Lineas problemas[] = {
        kEjemplo,
        {"4", "3", "2\t1\t0\t3", "1\t0\t1\t2", "0\t2\t1\t2", "1\t1\t1\t1"},
        {"3", "2", "1000\t0\t7", "0\t20000\t5", "3\t3\t0"},
        {"12", "1", "1\t1", "2\t1", "3\t1", "4\t1", "5\t1", "6\t1", "7\t1", "8\t1", "9\t1", "10\t1", "11\t1", "12\t1"},
    };
    for (const Lineas& problema : problemas) {
        for (const char* separador : {".", ","}) {
            EstadoSecuenciador e;
            const auto [informe, secuencia] = Secuenciar(e, problema, separador);
            EXPECT_EQ(informe, InformeCeldaACelda(e.TablaSolucion, separador));
            ASSERT_EQ(secuencia.size(), static_cast<size_t>(e.Q));
        }
    }
}

TEST(Informe, UnaEtapaSinProductoDaCero) {
    // A distance of 99999999999 or more never wins. Two products with usages of +-2^30
    // on 9000 components are both that far from the ideal (0) at every stage, so no
    // stage chooses a product: the cells and the sequence lines are 0.
    const int m = 9000;
    std::string uno, dos;
    for (int j = 0; j < m; ++j) {
        uno += "1073741824\t";
        dos += "-1073741824\t";
    }
    EstadoSecuenciador e;
    const auto [informe, secuencia] = Secuenciar(e, {"2", std::to_string(m), uno + "1", dos + "1"}, ".");
    EXPECT_EQ(secuencia, (Lineas{"0", "0"}));
    ASSERT_EQ(informe.size(), 3u);
    EXPECT_EQ(informe[2].substr(0, 28), "2\t1.019E0011\t1.019E0011\t0\t0\t");
}

TEST(LineasInforme, IgualQueLaTablaCompleta) {
    // The lines produced from the compact table are the bytes the square table's report
    // gave, for the plain loop's table: every line, both separators.
    struct Forma {
        int n, m, dMax, bMin, bMax;
    };
    const Forma formas[] = {{3, 4, 12, 0, 5},   {12, 2, 20, -3, 3},        {1, 5, 30, 0, 9},
                            {8, 0, 6, 0, 0},    {4, 3, 25, -10000, 10000}, {11, 1, 40, 0, 30000},
                            {2, 6, 9, -1, 1}};
    for (uint32_t semilla = 1; semilla <= 8; ++semilla) {
        for (const Forma& f : formas) {
            const Lineas problema = ProblemaAleatorio(semilla, f.n, f.m, f.dMax, f.bMin, f.bMax);
            for (const char* separador : {".", ","}) {
                SCOPED_TRACE("semilla " + std::to_string(semilla) + " n=" + std::to_string(f.n) + " sep " + separador);
                EstadoSecuenciador e;
                const Solucion nueva = Secuenciar(e, problema, separador);
                const completa::TablaCompleta literal = literal::TablaLiteral(problema);
                const Solucion antes = completa::EscribirInformeCompleto(literal, separador);
                EXPECT_EQ(nueva.informe, antes.informe);
                EXPECT_EQ(nueva.secuencia, antes.secuencia);
            }
        }
    }
}

TEST(LineasInforme, PartesTramosYCeldas) {
    // Twelve products (two-digit product cells) and Q above 100 (labels of one to three
    // digits): every piece of every line is the matching piece of the whole line.
    const Lineas problema = ProblemaAleatorio(3, 12, 3, 20, 0, 4);
    for (const char* separador : {".", ","}) {
        EstadoSecuenciador e;
        Solucion s = Secuenciar(e, problema, separador);
        ASSERT_GT(e.Q, 100);
        AnadirSolucion(s.informe, s.secuencia);
        const LineasInforme l(e.TablaSolucion, separador);
        ASSERT_EQ(l.Cantidad(), static_cast<int64_t>(s.informe.size()));
        std::string todo;
        l.EscribirLineas(0, l.Cantidad(), "\r\n", [&todo](const char* d, size_t n) { todo.append(d, n); });
        std::string esperado;
        for (const std::string& linea : s.informe) esperado += linea + "\r\n";
        EXPECT_EQ(todo, esperado);
        EXPECT_EQ(l.Bytes(0, l.Cantidad(), 2), esperado.size());
        for (int64_t i = 0; i < l.Cantidad(); ++i) {
            SCOPED_TRACE("linea " + std::to_string(i));
            const std::string& linea = s.informe[static_cast<size_t>(i)];
            const int64_t largo = static_cast<int64_t>(linea.size());
            ASSERT_EQ(l.Longitud(i), largo);
            ASSERT_EQ(l.Linea(i), linea);
            std::string cabeza, cola;
            l.AnadirCabeza(i, cabeza);
            l.AnadirCola(i, cola);
            const int64_t h = static_cast<int64_t>(cabeza.size());
            ASSERT_EQ(h + l.LargoMedio(i) + static_cast<int64_t>(cola.size()), largo);
            EXPECT_EQ(linea.substr(0, cabeza.size()), cabeza);
            EXPECT_EQ(linea.substr(linea.size() - cola.size()), cola);
            // Cells of the middle: their starts, and which cell holds each byte.
            const int64_t celdas = l.CeldasMedio(i);
            for (int64_t c = 0; c < celdas; ++c) {
                const int64_t a = l.InicioCelda(i, c), b = l.InicioCelda(i, c + 1);
                ASSERT_LT(a, b);
                EXPECT_EQ(linea[static_cast<size_t>(h + b - 1)], '\t');
                for (int64_t d = a; d < b; ++d) ASSERT_EQ(l.CeldaEn(i, d), c) << "byte " << d;
                std::string texto;
                const int32_t p = l.ProductoEnCelda(i, c);
                if (p < 0)
                    LineasInforme::AnadirRotulo(c, texto);
                else
                    texto = l.TextoProducto(p);
                EXPECT_EQ(linea.substr(static_cast<size_t>(h + a), static_cast<size_t>(b - a - 1)), texto);
            }
            // Windows at every offset near the part boundaries and a stride through the rest.
            std::vector<int64_t> puntos = {0, 1, h - 1, h, h + 1, largo - static_cast<int64_t>(cola.size()) - 1,
                                           largo - static_cast<int64_t>(cola.size()), largo - 1, largo, largo + 3};
            for (int64_t d = 0; d < largo; d += 37) puntos.push_back(d);
            const std::optional<TramoDistinto> distinto = PrimerTramoDistinto(l, i, linea, puntos);
            ASSERT_FALSE(distinto.has_value()) << distinto->a << ".." << distinto->b << ": [" << distinto->tramo
                                               << "] en vez de [" << distinto->esperado << "]";
        }
    }
}

TEST(LineasInforme, SinEtapasNoHayLineas) {
    const LineasInforme vacia;
    EXPECT_EQ(vacia.Cantidad(), 0);
    EXPECT_EQ(LineasInforme(TablaEtapas{}, ".").Cantidad(), 0);
}
