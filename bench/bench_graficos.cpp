// The consumption charts of a solve: both charts rebuilt from the stage table and drawn
// once per iteration, on pages already shown (as after the first solve); and a chart
// exported to each file format and copied as an image.
#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QLineSeries>
#include <QPixmap>
#include <QTemporaryDir>
#include <QWidget>
#include <array>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/PrincipalQt.h"
#include "core/Aleatorio.h"
#include "ui/ExportarGrafico.h"
#include "ui/GraficosConsumo.h"
#include "soporte/ProblemaSembrado.h"
#include "core/Problema.h"
#include "core/Secuenciador.h"

namespace {

using namespace tavelorin;

// Each problem is solved once, outside the timing; the charts only read it.
EstadoSecuenciador& Resuelto(int32_t n, int32_t m, int32_t q) {
    static std::map<std::array<int32_t, 3>, std::unique_ptr<EstadoSecuenciador>> resueltos;
    std::unique_ptr<EstadoSecuenciador>& estado = resueltos[{n, m, q}];
    if (!estado) {
        estado = std::make_unique<EstadoSecuenciador>();
        // Past 100000 stages, the problem whose ideal consumptions stay within 32 bits.
        SecuenciarTabla(*estado, q > 100000 ? bench::ProblemaSembradoGrande(n, m, q) : bench::ProblemaSembrado(n, m, q));
    }
    return *estado;
}

// The consumption charts over the solve of n = 10, m components and Q = q stages, EComp
// holding 1 and the generator (colours past the 9th series) seeded with 1.
struct Graficos {
    GeneradorAleatorio generador{1};
    QLineEdit ecomp{QStringLiteral("1")};
    GraficosConsumo graficos;
    Graficos(int32_t m, int32_t q) : graficos(Resuelto(10, m, q), generador, &ecomp) {}
};

void Dibujar(QWidget* pagina) {
    QCoreApplication::sendPostedEvents();
    const QPixmap imagen = pagina->grab();
    benchmark::DoNotOptimize(imagen.cacheKey());
}

void BM_GraficosConsumo(benchmark::State& s) {
    const int32_t m = static_cast<int32_t>(s.range(0)), q = static_cast<int32_t>(s.range(1));
    Graficos g(m, q);
    GraficosConsumo& graficos = g.graficos;
    for (QWidget* pagina : {graficos.ChartVelCon(), graficos.ChartTasCon()}) {
        pagina->resize(1075, 700);
        pagina->show();
    }
    // The first drawing of a page also lays it out: done once, before the timing.
    graficos.GraficoVelocidades();
    graficos.GraficoTasas();
    Dibujar(graficos.ChartVelCon());
    Dibujar(graficos.ChartTasCon());

    for (auto _ : s) {
        graficos.GraficoVelocidades();
        graficos.GraficoTasas();
        Dibujar(graficos.ChartVelCon());
        Dibujar(graficos.ChartTasCon());
    }
    if (graficos.SeriesVel().size() != static_cast<size_t>(m) || graficos.Xjk()->points().back().x() != q)
        s.SkipWithError("the charts do not hold the solve");
    s.counters["puntos"] = static_cast<double>(m) * q;
    // What the series hold: a few points a pixel column once Q passes the plot's width.
    double guardados = 0;
    for (const QLineSeries* serie : graficos.SeriesVel()) guardados += serie->count();
    s.counters["guardados"] = guardados;
}
// m components, Q stages. 20 x 5000: a large problem of the usual shape. 20 x 1000000:
// a month of a line, the series cut down to the plot's columns. 1000 x 10: many
// components, where Qt Charts' cost of taking each series off the chart grows with the
// number of series on it.
BENCHMARK(BM_GraficosConsumo)
    ->Args({20, 5000})
    ->Args({20, 1000000})
    ->Args({1000, 10})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(3.0);

// Keeping a chart: the speed chart of m components and Q stages, on a page already shown,
// written to a file in each format (0 PNG, 1 SVG, 2 PDF) or copied as an image (3).
void BM_ExportarGrafico(benchmark::State& s) {
    const int32_t m = static_cast<int32_t>(s.range(0)), q = static_cast<int32_t>(s.range(1));
    Graficos g(m, q);
    GraficosConsumo& graficos = g.graficos;
    QWidget* pagina = graficos.ChartVelCon();
    pagina->resize(1075, 700);
    pagina->show();
    graficos.GraficoVelocidades();
    Dibujar(pagina);
    const QTemporaryDir carpeta;
    const char* extensiones[] = {"png", "svg", "pdf"};
    const int formato = static_cast<int>(s.range(2));
    qint64 bytes = 0;
    for (auto _ : s) {
        if (formato == 3) {
            CopiarGrafico(*pagina);
        } else {
            const QString nombre = carpeta.filePath(QStringLiteral("grafico.") + QLatin1String(extensiones[formato]));
            ExportarGrafico(*pagina, nombre);
            bytes = QFileInfo(nombre).size();
        }
    }
    s.counters["bytes"] = static_cast<double>(bytes);
    s.SetLabel(formato == 3 ? "copiar" : extensiones[formato]);
}
// 20 components x Q = 5000: the size a chart must be kept at within a second; and a
// million stages, whose lines hold what the plot's columns show.
BENCHMARK(BM_ExportarGrafico)
    ->Args({20, 5000, 0})
    ->Args({20, 5000, 1})
    ->Args({20, 5000, 2})
    ->Args({20, 5000, 3})
    ->Args({20, 1000000, 0})
    ->Args({20, 1000000, 1})
    ->Args({20, 1000000, 2})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(3.0);

}  // namespace

int main(int argc, char** argv) { return tavelorin::bench::EjecutarConQt(argc, argv); }
