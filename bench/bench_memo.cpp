// The report memo next to Qt's plain-text editor configured as the memo once was (no
// wrapping, both scroll bars, Courier New 11 px, tabs every 8 spaces), on the report of a
// seeded problem of 10 products and 20 components: taking the report, the first paint,
// scrolling one line, going to the end and to the far right, the heap the text holds
// afterwards and the peak of the resident set on the way. Repaints are whole viewports.
//
//   bench_memo [--sin-qt] [Q ...]      (default Q: 1000 3000 6000)
//
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include <malloc.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFontMetricsF>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "core/Informe.h"
#include "ui/MemoInforme.h"
#include "soporte/MemoriaProceso.h"
#include "soporte/ProblemaSembrado.h"
#include "core/Secuenciador.h"

using namespace tavelorin;

namespace {

using Lineas = std::vector<std::string>;

constexpr int kAncho = 830;  // about the memo's share of the window
constexpr int kAlto = 700;

double Ms(const std::function<void()>& f) {
    QElapsedTimer t;
    t.start();
    f();
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

double Mediana(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

size_t Monticulo() {
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
}

Lineas Informe(int32_t q) {
    EstadoSecuenciador e;
    Solucion s = Secuenciar(e, bench::ProblemaSembrado(10, 20, q), ".");
    AnadirSolucion(s.informe, s.secuencia);
    return s.informe;
}

// The two widgets behind one face.
struct Vista {
    virtual ~Vista() = default;
    virtual QAbstractScrollArea& Widget() = 0;
    virtual void Tomar(Lineas&& lineas) = 0;
    virtual void Vaciar() = 0;
};

struct VistaNuestra : Vista {
    MemoInforme memo;
    QAbstractScrollArea& Widget() override { return memo; }
    void Tomar(Lineas&& lineas) override {
        memo.Vaciar();
        memo.ReemplazarLineas(std::move(lineas));
    }
    void Vaciar() override { memo.Vaciar(); }
};

struct VistaQt : Vista {
    QPlainTextEdit editor;
    VistaQt() {
        editor.setLineWrapMode(QPlainTextEdit::NoWrap);
        editor.setWordWrapMode(QTextOption::NoWrap);
        editor.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        editor.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        QFont fuente(QStringLiteral("Courier New"));
        fuente.setStyleHint(QFont::Monospace);
        fuente.setPixelSize(11);
        editor.setFont(fuente);
        editor.document()->setDefaultFont(fuente);
        editor.setTabStopDistance(8 * QFontMetricsF(fuente).horizontalAdvance(QLatin1Char(' ')));
    }
    QAbstractScrollArea& Widget() override { return editor; }
    // The memo's former way: one string joined by '\n', then the whole text at once.
    void Tomar(Lineas&& lineas) override {
        editor.clear();
        size_t bytes = 0;
        for (const std::string& l : lineas) bytes += l.size() + 1;
        std::string todo;
        todo.reserve(bytes);
        for (size_t i = 0; i < lineas.size(); ++i) {
            if (i > 0) todo.push_back('\n');
            todo.append(lineas[i]);
        }
        editor.setPlainText(QString::fromUtf8(todo));
    }
    void Vaciar() override { editor.clear(); }
};

struct Cifras {
    double tomar = 0, primera = 0, linea = 0, lineaMedio = 0, final = 0, derecha = 0;
    double memoria = 0;  // heap the text holds afterwards, bytes
    double pico = 0;     // peak resident set while taking and painting, above where it started
};

void Repintar(QAbstractScrollArea& w) { w.viewport()->repaint(); }

Cifras Medir(Vista& vista, const Lineas& informe, int repeticiones) {
    QAbstractScrollArea& w = vista.Widget();
    w.resize(kAncho, kAlto);
    w.show();
    QApplication::processEvents();
    // Warm the font and glyph caches, so the heap below holds only the text.
    vista.Tomar(Lineas(informe.begin(), informe.begin() + std::min<size_t>(informe.size(), 50)));
    Repintar(w);
    vista.Vaciar();
    Repintar(w);
    QApplication::processEvents();

    Cifras c;
    std::vector<double> tomas, primeras;
    for (int r = 0; r < repeticiones; ++r) {
        vista.Vaciar();
        Repintar(w);
        malloc_trim(0);
        const size_t antes = Monticulo();
        {
            Lineas copia = informe;
            const double residente = static_cast<double>(bench::EstadoBytes("VmRSS"));
            bench::ReiniciarPico();
            tomas.push_back(Ms([&] { vista.Tomar(std::move(copia)); }));
            primeras.push_back(Ms([&] { Repintar(w); }));
            c.pico = static_cast<double>(bench::EstadoBytes("VmHWM")) - residente;
        }
        c.memoria = static_cast<double>(Monticulo()) - static_cast<double>(antes);
    }
    c.tomar = Mediana(tomas);
    c.primera = Mediana(primeras);

    QScrollBar* v = w.verticalScrollBar();
    QScrollBar* h = w.horizontalScrollBar();
    const auto bajar = [&](int desde) {
        std::vector<double> t;
        v->setValue(desde);
        h->setValue(0);
        Repintar(w);
        for (int i = 1; i <= 30; ++i) t.push_back(Ms([&] {
            v->setValue(desde + i);
            Repintar(w);
        }));
        return Mediana(t);
    };
    c.linea = bajar(0);
    c.lineaMedio = bajar(v->maximum() / 4);
    std::vector<double> finales, derechas;
    for (int i = 0; i < 5; ++i) {
        v->setValue(0);
        h->setValue(0);
        Repintar(w);
        finales.push_back(Ms([&] {
            v->setValue(v->maximum());
            h->setValue(h->maximum());
            Repintar(w);
        }));
        v->setValue(0);
        h->setValue(0);
        Repintar(w);
        derechas.push_back(Ms([&] {
            h->setValue(h->maximum());
            Repintar(w);
        }));
    }
    c.final = Mediana(finales);
    c.derecha = Mediana(derechas);
    vista.Vaciar();
    w.hide();
    return c;
}

const char* Marca(bool cumple) { return cumple ? "sí" : "NO"; }

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bool conQt = true;
    std::vector<int32_t> qs;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--sin-qt") == 0)
            conQt = false;
        else
            qs.push_back(static_cast<int32_t>(std::atoi(argv[i])));
    }
    if (qs.empty()) qs = {1000, 3000, 6000};

    for (int32_t q : qs) {
        std::vector<double> producir;
        Lineas informe;
        for (int r = 0; r < 3; ++r) producir.push_back(Ms([&] { informe = Informe(q); }));
        const double tProducir = Mediana(producir);
        double bytes = 0;
        for (const std::string& l : informe) bytes += static_cast<double>(l.size());
        std::printf("Q = %d: %zu líneas, %.1f MB de texto; producirlas (Secuenciar) %.1f ms\n", q, informe.size(),
                    bytes / 1e6, tProducir);

        VistaNuestra nuestra;
        const Cifras a = Medir(nuestra, informe, 3);
        Cifras b;
        std::unique_ptr<VistaQt> qt;
        if (conQt) {
            qt = std::make_unique<VistaQt>();
            b = Medir(*qt, informe, 1);
        }
        const auto fila = [&](const char* nombre, double x, double y) {
            if (conQt)
                std::printf("  %-34s %12.2f %16.2f\n", nombre, x, y);
            else
                std::printf("  %-34s %12.2f\n", nombre, x);
        };
        std::printf("  %-34s %12s %16s\n", "", "MemoInforme", conQt ? "QPlainTextEdit" : "");
        fila("tomar el informe (ms)", a.tomar, b.tomar);
        fila("primera pintura (ms)", a.primera, b.primera);
        fila("bajar una línea y pintar (ms)", a.linea, b.linea);
        fila("  a un cuarto del texto (ms)", a.lineaMedio, b.lineaMedio);
        fila("ir al final y pintar (ms)", a.final, b.final);
        fila("ir a la derecha y pintar (ms)", a.derecha, b.derecha);
        fila("memoria del texto (MB)", a.memoria / 1e6, b.memoria / 1e6);
        fila("  × bytes del informe", a.memoria / bytes, b.memoria / bytes);
        fila("pico de RSS al tomar y pintar (MB)", a.pico / 1e6, b.pico / 1e6);
        std::printf("  objetivos de MemoInforme: línea ≤16 ms %s, final ≤16 ms %s, primera ≤30 ms %s, "
                    "producir+tomar ≤1,2× producir %s (%.3f×), memoria ≤1,3× %s\n\n",
                    Marca(a.linea <= 16 && a.lineaMedio <= 16), Marca(a.final <= 16 && a.derecha <= 16),
                    Marca(a.primera <= 30), Marca(a.tomar <= 0.2 * tProducir), (tProducir + a.tomar) / tProducir,
                    Marca(a.memoria <= 1.3 * bytes));
        std::fflush(stdout);
    }
    return 0;
}
