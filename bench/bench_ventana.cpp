// The main window's costs: a solve from the grid until the memo holds the report, next
// to the memo taking the same finished text alone; Items with a large grid; the repaint
// after typing into one cell, for a small and a large grid.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QHeaderView>

#include "bench/PrincipalQt.h"
#include "soporte/Controles.h"
#include "soporte/DialogosPrueba.h"
#include "core/Informe.h"
#include "ui/Main.h"
#include "ui/MemoInforme.h"
#include "ui/ModeloMatriz.h"
#include "ui/SalidaInforme.h"
#include "soporte/ProblemaSembrado.h"
#include "core/Secuenciador.h"
#include "ui/VistaMatriz.h"

using namespace tavelorin;

namespace {

struct Ventana {
    DialogosPrueba dialogos;
    TMainForm ventana{dialogos, {}};
    Ventana() {
        ventana.resize(1083, 800);
        ventana.show();
        QApplication::processEvents();
    }
};

// Up to the memo holding the report: the grid's lines, the run, and the memo's intake.
void ResolverHastaElMemo(benchmark::State& estado) {
    const int32_t q = static_cast<int32_t>(estado.range(0));
    Ventana v;
    ModeloMatriz& modelo = Rejilla(v.ventana);
    modelo.Cargar(bench::ProblemaSembrado(10, 20, q));
    MemoInforme* memo = MemoDe(v.ventana);
    EstadoSecuenciador e;  // kept across runs, as the window keeps its own
    for (auto _ : estado) {
        const std::vector<std::string> problema = modelo.Matriz().LineasProblema();
        SecuenciarTabla(e, problema);
        memo->Vaciar();
        memo->MostrarInforme(LineasParaMemo(e.TablaSolucion, v.ventana.SeparadorDecimal()));
        benchmark::DoNotOptimize(memo->NumeroLineas());
    }
}

// The same with the whole report text taken by the memo (the road of a decimal separator
// the memo cannot produce lines for, and of every solve before).
void ResolverHastaElMemoTexto(benchmark::State& estado) {
    const int32_t q = static_cast<int32_t>(estado.range(0));
    Ventana v;
    ModeloMatriz& modelo = Rejilla(v.ventana);
    modelo.Cargar(bench::ProblemaSembrado(10, 20, q));
    MemoInforme* memo = MemoDe(v.ventana);
    EstadoSecuenciador e;
    for (auto _ : estado) {
        const std::vector<std::string> problema = modelo.Matriz().LineasProblema();
        auto [informe, secuencia] = Secuenciar(e, problema, v.ventana.SeparadorDecimal());
        AnadirSolucion(informe, secuencia);
        memo->Vaciar();
        memo->ReemplazarLineas(std::move(informe));
        benchmark::DoNotOptimize(memo->NumeroLineas());
    }
}

// The whole command, charts included.
void Resolver(benchmark::State& estado) {
    const int32_t q = static_cast<int32_t>(estado.range(0));
    Ventana v;
    Rejilla(v.ventana).Cargar(bench::ProblemaSembrado(10, 20, q));
    MemoInforme* memo = MemoDe(v.ventana);
    for (auto _ : estado) {
        v.ventana.EjecutarResolucion();
        benchmark::DoNotOptimize(memo->NumeroLineas());
    }
    if (!v.dialogos.errores.empty()) estado.SkipWithError("la resolución falló");
}

// The memo alone, taking the memo text of the same solve.
void MemoSolo(benchmark::State& estado) {
    const int32_t q = static_cast<int32_t>(estado.range(0));
    EstadoSecuenciador e;
    auto [informe, secuencia] = Secuenciar(e, bench::ProblemaSembrado(10, 20, q), ".");
    AnadirSolucion(informe, secuencia);
    Ventana v;
    MemoInforme* memo = MemoDe(v.ventana);
    for (auto _ : estado) {
        estado.PauseTiming();
        std::vector<std::string> copia = informe;
        estado.ResumeTiming();
        memo->Vaciar();
        memo->ReemplazarLineas(copia);
        benchmark::DoNotOptimize(memo->NumeroLineas());
    }
}

void Items(benchmark::State& estado) {
    const QString productos = QString::number(estado.range(0));
    Ventana v;
    for (auto _ : estado) {
        estado.PauseTiming();
        v.dialogos.respuestas = {QString("3"), QString("4")};
        v.ventana.DimensionarProblema();  // back to small, outside the timing
        v.dialogos.respuestas = {productos, QString("20")};
        estado.ResumeTiming();
        v.ventana.DimensionarProblema();
        QApplication::processEvents();
    }
    if (!v.dialogos.errores.empty()) estado.SkipWithError("Items falló");
}

// Typing into one cell and repainting what shows: must not depend on the grid's size.
void EscribirCelda(benchmark::State& estado) {
    Ventana v;
    v.dialogos.respuestas = {QString::number(estado.range(0)), QString("20")};
    v.ventana.DimensionarProblema();
    QApplication::processEvents();
    ModeloMatriz& modelo = Rejilla(v.ventana);
    QWidget* rejilla = Control<VistaMatriz>(v.ventana, QStringLiteral("Matriz"))->viewport();
    int i = 0;
    for (auto _ : estado) {
        modelo.PonerCelda(1, 1, QString::number(++i));
        rejilla->repaint();
    }
}

}  // namespace

BENCHMARK(ResolverHastaElMemo)->Arg(1000)->Arg(3000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(ResolverHastaElMemoTexto)->Arg(1000)->Arg(3000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Resolver)->Arg(1000)->Arg(3000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(MemoSolo)->Arg(1000)->Arg(3000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Items)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
// A grid that fills the view at every size, so the same cells are painted each time.
BENCHMARK(EscribirCelda)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) { return tavelorin::bench::EjecutarConQt(argc, argv); }
