// The report without its square, in the window's terms (a plain timing program: one-shot
// figures such as a first paint and the peak of the resident set).
//
//   bench_informe_grande [Q3000 repetitions, default 15] [--solo-3000 | --solo-grande]
//
// Part 1, Q = 3000 (n = 10, m = 20, ProblemaSembrado), in the same run: the square
// table's road (the whole report built as lines, as a solve did before) against the
// compact solve (a table ready to produce any line), and against the compact solve with
// the memo's first painted screen. Part 2, Q = 1,000,000 (n = 10, m = 20,
// ProblemaSembradoGrande) in the main window: the solve command (memo and both charts)
// with the first paint of the memo and of both chart pages; the peak of the resident
// set; then jumps to random rows and columns, each with its repaint.
//
// Wall and CPU time of the process are both given: the machine may be shared.
#include <time.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTabWidget>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "core/LineasInforme.h"
#include "core/Secuenciador.h"
#include "soporte/Controles.h"
#include "soporte/DialogosPrueba.h"
#include "soporte/MemoriaProceso.h"
#include "soporte/ProblemaSembrado.h"
#include "soporte/TablaCompleta.h"
#include "ui/GraficosConsumo.h"
#include "ui/Main.h"
#include "ui/MemoInforme.h"
#include "ui/ModeloMatriz.h"
#include "ui/SalidaInforme.h"

using namespace tavelorin;

namespace {

double Cpu() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

struct Tiempo {
    double pared = 0, cpu = 0;  // ms
};

template <typename F>
Tiempo Medir(const F& f) {
    QElapsedTimer reloj;
    const double c0 = Cpu();
    reloj.start();
    f();
    return {static_cast<double>(reloj.nsecsElapsed()) / 1e6, Cpu() - c0};
}

double Mediana(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
double Minimo(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }
double Percentil(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size())))];
}


double Carga() {
    std::ifstream f("/proc/loadavg");
    double l = 0;
    f >> l;
    return l;
}

// Wall and CPU series of one measured step.
struct Serie {
    std::vector<double> pared, cpu;
    void Anadir(Tiempo t) {
        pared.push_back(t.pared);
        cpu.push_back(t.cpu);
    }
    void Imprimir(const char* nombre) const {
        std::printf("  %-44s pared %9.3f (mín %9.3f)   CPU %9.3f (mín %9.3f)\n", nombre, Mediana(pared), Minimo(pared),
                    Mediana(cpu), Minimo(cpu));
    }
};

void Parte3000(int repeticiones) {
    const std::vector<std::string> problema = bench::ProblemaSembrado(10, 20, 3000);
    MemoInforme memo;
    memo.resize(830, 700);
    memo.show();
    QApplication::processEvents();
    Serie hoy, tabla, tablaYPintura;
    std::printf("Q = 3000, n = 10, m = 20 (carga al empezar %.1f)\n", Carga());
    for (int r = 0; r < repeticiones; ++r) {
        // In turns, so that load changes touch all three alike.
        hoy.Anadir(Medir([&] {
            EstadoSecuenciador e;
            const Solucion s = completa::SecuenciarCompleto(e, problema, ".");
            if (s.informe.size() != 3001) std::abort();
        }));
        tabla.Anadir(Medir([&] {
            EstadoSecuenciador e;
            SecuenciarTabla(e, problema);
            const LineasInforme lineas(e.TablaSolucion, ".");
            if (lineas.Cantidad() != 6002) std::abort();
        }));
        memo.Vaciar();
        memo.viewport()->repaint();
        EstadoSecuenciador e;
        tablaYPintura.Anadir(Medir([&] {
            SecuenciarTabla(e, problema);
            memo.MostrarInforme(LineasParaMemo(e.TablaSolucion, "."));
            memo.viewport()->repaint();
        }));
    }
    hoy.Imprimir("tabla cuadrada + informe entero (ms)");
    tabla.Imprimir("tabla compacta lista para dar líneas (ms)");
    tablaYPintura.Imprimir("tabla compacta + primera pintura del memo (ms)");
    const auto razon = [](const std::vector<double>& a, const std::vector<double>& b) { return Mediana(a) / Mediana(b); };
    std::printf("  razón resolver: pared %.1f×, CPU %.1f× (objetivo ≥ 40×)\n", razon(hoy.pared, tabla.pared),
                razon(hoy.cpu, tabla.cpu));
    std::printf("  razón resolver + primera pintura: pared %.1f×, CPU %.1f× (objetivo ≥ 10×)\n",
                razon(hoy.pared, tablaYPintura.pared), razon(hoy.cpu, tablaYPintura.cpu));
    std::printf("  (carga al terminar %.1f)\n\n", Carga());
}

void ParteGrande() {
    const int32_t q = 1000000;
    const std::vector<std::string> problema = bench::ProblemaSembradoGrande(10, 20, q);
    DialogosPrueba dialogos;
    TMainForm ventana(dialogos, {});
    ventana.resize(1083, 800);
    ventana.show();
    QApplication::processEvents();
    Rejilla(ventana).Cargar(problema);
    QApplication::processEvents();
    MemoInforme* memo = MemoDe(ventana);
    auto* paginas = Control<QTabWidget>(ventana, QStringLiteral("PageControl1"));
    std::printf("Q = 1.000.000, n = 10, m = 20, en la ventana (carga al empezar %.1f)\n", Carga());

    const double antes = bench::MiB(bench::EstadoBytes("VmRSS"));
    bench::ReiniciarPico();
    Tiempo resolver, memoPintado, graficos;
    const Tiempo total = Medir([&] {
        resolver = Medir([&] { ventana.EjecutarResolucion(); });
        memoPintado = Medir([&] { memo->viewport()->repaint(); });
        graficos = Medir([&] {
            for (int pagina = 1; pagina <= 2; ++pagina) {
                paginas->setCurrentIndex(pagina);
                QWidget* actual = paginas->currentWidget();
                actual->repaint();
                QApplication::processEvents();
            }
        });
    });
    const double pico = bench::MiB(bench::EstadoBytes("VmHWM"));
    if (!dialogos.errores.empty()) {
        std::printf("  la resolución falló: %s\n", qPrintable(dialogos.errores.front().second));
        return;
    }
    std::printf("  resolver (tabla, memo, ambos gráficos)  pared %8.1f ms  CPU %8.1f ms\n", resolver.pared, resolver.cpu);
    std::printf("  primera pintura del memo               pared %8.1f ms  CPU %8.1f ms\n", memoPintado.pared, memoPintado.cpu);
    std::printf("  pintura de las dos páginas de gráficos pared %8.1f ms  CPU %8.1f ms\n", graficos.pared, graficos.cpu);
    std::printf("  total                                  pared %8.1f ms  CPU %8.1f ms (objetivo ≤ 3000 ms)\n", total.pared,
                total.cpu);
    std::printf("  memoria residente: antes %.0f MiB, pico %.0f MiB (objetivo ≤ 1536 MiB)\n", antes, pico);

    paginas->setCurrentIndex(0);
    QApplication::processEvents();
    QScrollBar* v = memo->verticalScrollBar();
    QScrollBar* h = memo->horizontalScrollBar();
    std::mt19937 azar(5);
    std::vector<double> saltos, saltosCpu;
    for (int i = 0; i < 200; ++i) {
        const int fila = static_cast<int>(azar() % static_cast<unsigned>(v->maximum() + 1));
        const int columna = static_cast<int>(azar() % static_cast<unsigned>(h->maximum() + 1));
        const Tiempo t = Medir([&] {
            v->setValue(fila);
            h->setValue(columna);
            memo->viewport()->repaint();
        });
        saltos.push_back(t.pared);
        saltosCpu.push_back(t.cpu);
    }
    std::printf("  salto a fila y columna al azar y pintar (200): mediana %.2f ms, p95 %.2f ms, máx %.2f ms pared; "
                "CPU mediana %.2f ms, máx %.2f ms (objetivo < 16 ms)\n",
                Mediana(saltos), Percentil(saltos, 0.95), *std::max_element(saltos.begin(), saltos.end()),
                Mediana(saltosCpu), *std::max_element(saltosCpu.begin(), saltosCpu.end()));
    // The widest line measured in idle slices: how long until the scroll bar is exact.
    const Tiempo medir = Medir([&] {
        while (!memo->Contenido().MedidasCompletas()) QApplication::processEvents();
    });
    std::printf("  anchos de todas las líneas medidos en reposo: pared %.0f ms, CPU %.0f ms\n", medir.pared, medir.cpu);
    std::printf("  (carga al terminar %.1f; pico final %.0f MiB)\n", Carga(), bench::MiB(bench::EstadoBytes("VmHWM")));
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int repeticiones = 15;
    bool tres = true, grande = true;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--solo-3000") == 0)
            grande = false;
        else if (std::strcmp(argv[i], "--solo-grande") == 0)
            tres = false;
        else
            repeticiones = std::max(1, std::atoi(argv[i]));
    }
    if (tres) Parte3000(repeticiones);
    if (grande) ParteGrande();
    return 0;
}
