// Peak memory of the report's ways out of the memo (copy to the clipboard, solution file)
// for a large report, against the text they carry, each next to the whole-copy way of
// doing the same thing. Usage: memoria_salida [Q] (default 6000; n = 2, m = 1).
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "core/Informe.h"
#include "core/Secuenciador.h"
#include "files/FicheroTexto.h"
#include "soporte/MemoriaProceso.h"
#include "soporte/ProblemaSembrado.h"
#include "ui/MemoInforme.h"
#include "ui/SalidaInforme.h"

using namespace tavelorin;
using bench::EstadoBytes;
using bench::MiB;
using bench::ReiniciarPico;

namespace {

// Peak RSS above what was resident before, while operacion runs.
long long Pico(const std::function<void()>& operacion) {
    const long long antes = EstadoBytes("VmRSS");
    ReiniciarPico();
    operacion();
    return EstadoBytes("VmHWM") - antes;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication aplicacion(argc, argv);
    const int32_t q = argc > 1 ? std::atoi(argv[1]) : 6000;
    MemoInforme memo;
    {
        EstadoSecuenciador estado;
        auto [informe, secuencia] = Secuenciar(estado, bench::ProblemaSembrado(2, 1, q), ",");
        AnadirSolucion(informe, secuencia);
        memo.ReemplazarLineas(std::move(informe));
    }
    const long long texto = static_cast<long long>(memo.BytesTextoUtf8());
    QTemporaryDir dir;
    const std::string fichero = dir.filePath("s.sol").toStdString();
    QClipboard* portapapeles = QGuiApplication::clipboard();

    struct Fila {
        const char* nombre;
        long long pico;
    };
    const Fila filas[] = {
        {"copy, whole UTF-16 text (QMimeData::setText)",
         Pico([&] {
             auto* datos = new QMimeData;
             datos->setText(memo.Texto());
             portapapeles->setMimeData(datos);
             portapapeles->clear();
         })},
        {"copy, one UTF-8 copy (CopiarTodo)",
         Pico([&] {
             memo.CopiarTodo();
             portapapeles->clear();
         })},
        {"solution file, all lines copied first (Lineas)",
         Pico([&] { EscribirLineasFichero(fichero, memo.Lineas()); })},
        {"solution file, a line at a time (EscribirInforme)",
         Pico([&] { EscribirInforme(dir.filePath("s.sol"), memo); })},
    };
    std::printf("Q = %d, report text %lld bytes (%.1f MiB, UTF-8 with CR LF)\n", q, texto, MiB(texto));
    std::printf("needs checked: copy %.1f MiB, file %.1f MiB, print %.1f MiB\n", MiB(MemoriaParaCopiar(memo)),
                MiB(MemoriaParaEscribir(memo)), MiB(MemoriaParaImprimir(memo)));
    for (const Fila& f : filas)
        std::printf("%-52s peak +%8.1f MiB  (%.2f x text)\n", f.nombre, MiB(f.pico),
                    static_cast<double>(f.pico) / static_cast<double>(texto));
    return 0;
}
