#include "ui/SalidaInforme.h"

#include <QFontMetricsF>
#include <QLocale>
#include <QPageLayout>
#include <QPrinter>
#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

#include "core/Errores.h"
#include "core/Memoria.h"
#include "files/EscrituraPorPartes.h"
#include "files/FicheroTexto.h"
#include "ui/Impresion.h"
#include "ui/LineasGeneradas.h"
#include "ui/ManejoErrores.h"
#include "ui/MemoInforme.h"
#include "ui/RutasFichero.h"
#include "ui/TareasLargas.h"

namespace tavelorin {

std::shared_ptr<const LineasGeneradas> LineasParaMemo(const TablaEtapas& tabla, const std::string& separador) {
    // Lines and columns are counted in 32 bits; the empty line after the text counts too.
    const int64_t lineas = tabla.Vacia() ? 0 : 2 * static_cast<int64_t>(tabla.filas) + 2;
    if (lineas > INT_MAX - 1)
        throw ErrorTavelorin("El informe tendría " + std::to_string(lineas) +
                             " líneas y la ventana muestra a lo sumo " + std::to_string(INT_MAX - 1) +
                             "; resuelva el problema con tavelorin-cli");
    auto generadas = std::make_shared<const LineasGeneradas>(tabla, separador);
    const int64_t largo = generadas->LongitudMaxima();
    if (largo > INT_MAX - 1)
        throw ErrorTavelorin("El informe tendría líneas de " + std::to_string(largo) +
                             " caracteres y la ventana muestra a lo sumo " + std::to_string(INT_MAX - 1) +
                             "; resuelva el problema con tavelorin-cli");
    return generadas;
}

namespace {

// Room for the toolkit's own buffers around any of these operations.
constexpr uint64_t kHolgura = uint64_t{4} << 20;

// The longest line in UTF-8 and in UTF-16 units.
struct Maximos {
    uint64_t utf8 = 0;
    uint64_t unidades = 0;
};

Maximos LineaMasLarga(const MemoInforme& memo) {
    Maximos m;
    const LineasMemo& contenido = memo.Contenido();
    contenido.RecorrerTrozos(0, memo.NumeroLineas(), [&](int a, int b) {
        if (a < 0) {
            m.utf8 = std::max(m.utf8, memo.BytesLineaUtf8(b));
            m.unidades = std::max(m.unidades, static_cast<uint64_t>(memo.LongitudLinea(b)));
            return;
        }
        // A run of generated lines: the longest line of the report, at most three bytes a
        // character (the decimal separator may take them).
        const uint64_t largo = static_cast<uint64_t>(contenido.Origen()->LongitudMaxima());
        m.unidades = std::max(m.unidades, largo);
        m.utf8 = std::max(m.utf8, 3 * largo);
    });
    return m;
}

// Refused before anything starts, with the explanation that says nothing was lost.
void ComprobarMemoriaSalida(uint64_t bytes) {
    if (bytes > MemoriaDisponible()) throw ErrorTavelorin(mensajes::kSinMemoria, ExplicacionSinMemoria());
}

}  // namespace

// The clipboard gets one UTF-8 copy of the text; when another program asks for it the
// toolkit may hold it once more as UTF-16 while it hands it over.
uint64_t MemoriaParaCopiar(const MemoInforme& memo) {
    return 3 * memo.BytesTextoUtf8(MemoriaDisponible() / 3) + kHolgura;
}

// One line at a time: the line, its encoded form, and the writer's 1 MB block.
uint64_t MemoriaParaEscribir(const MemoInforme& memo) { return 2 * LineaMasLarga(memo).utf8 + kHolgura; }

// One line at a time: the line in UTF-16, UTF-8 and the printer's 8-bit set, then the
// characters to draw (UTF-16) with their line feed.
uint64_t MemoriaParaImprimir(const MemoInforme& memo) {
    const Maximos m = LineaMasLarga(memo);
    return 6 * m.unidades + 2 * m.utf8 + kHolgura;
}

void CopiarInforme(MemoInforme& memo) {
    // A text the clipboard cannot sensibly take is refused whatever the memory.
    const int64_t maximo = MemoInforme::MaximoPortapapeles();
    const int64_t caracteres = memo.CaracteresTexto(maximo);
    if (caracteres > maximo) throw ErrorTavelorin(MensajeCopiaExcesiva().toStdString());
    ComprobarMemoriaSalida(MemoriaParaCopiar(memo));
    memo.setFocus();
    memo.selectAll();
    memo.CopiarTodo();
}

void EscribirInforme(const QString& nombre, const MemoInforme& memo) {
    ComprobarMemoriaEscritura(memo);
    EscribirLineasFichero(RutaDeNombre(nombre), static_cast<size_t>(memo.NumeroLineas()),
                          [&memo](size_t i) { return memo.LineaUtf8(static_cast<int>(i)); });
}

void ComprobarMemoriaEscritura(const MemoInforme& memo) { ComprobarMemoriaSalida(MemoriaParaEscribir(memo)); }

void ComprobarMemoriaImpresion(const MemoInforme& memo) { ComprobarMemoriaSalida(MemoriaParaImprimir(memo)); }

namespace {

// One run of the memo's lines as they are written: generated lines [desde, hasta), or
// one line held in the memo (UTF-8).
struct Parte {
    int desde = -1, hasta = -1;
    std::string texto;
};

}  // namespace

bool GuardarTextoMemo(QWidget* padre, const std::string& nombre, const MemoInforme& memo, TareasLargas& tareas) {
    // What the memo holds now: the generated runs by reference, its own lines copied.
    const LineasMemo& contenido = memo.Contenido();
    std::vector<Parte> partes;
    contenido.RecorrerTrozos(0, memo.NumeroLineas(), [&](int a, int b) {
        Parte p;
        if (a >= 0) {
            p.desde = a;
            p.hasta = b;
        } else {
            p.texto = contenido.Utf8(b);
        }
        partes.push_back(std::move(p));
    });
    std::shared_ptr<const LineasInforme> informe;
    if (contenido.Origen() != nullptr) informe = contenido.Origen()->InformeCompartido();

    bool terminado = false;
    tareas.Ejecutar(padre, kTituloAplicacion, QStringLiteral("Guardando la solución..."), [&](AvanceTarea& avance) {
        // The size first, to compare with the free space: a report whose sequence cells
        // alone do not fit is not measured further.
        const uint64_t libre = EspacioLibre(nombre);
        uint64_t bytes = 0;
        for (const Parte& p : partes) {
            if (p.desde < 0)
                bytes += p.texto.size() + 2;
            else
                for (int i = p.desde; i < p.hasta; ++i) bytes += static_cast<uint64_t>(informe->LargoMedio(i)) + 2;
        }
        if (bytes <= libre) {
            bytes = 0;
            for (const Parte& p : partes)
                bytes += p.desde < 0 ? p.texto.size() + 2 : informe->Bytes(p.desde, p.hasta, 2);
        }
        AvanceEscritura escritura;
        avance.total = bytes;
        const auto producir = [&](SalidaTexto& salida) {
            for (const Parte& p : partes) {
                if (avance.cancelar) escritura.cancelar = true;
                if (p.desde < 0) {
                    salida.Anadir(p.texto);
                    salida.Anadir("\r\n", 2);
                } else {
                    informe->EscribirLineas(p.desde, p.hasta, "\r\n", [&](const char* datos, size_t n) {
                        salida.Anadir(datos, n);
                        avance.hecho = escritura.hechos.load();
                        if (avance.cancelar) escritura.cancelar = true;
                    });
                }
                avance.hecho = escritura.hechos.load();
            }
        };
        terminado = EscribirFicheroPorPartes(nombre, bytes, producir, &escritura);
    });
    return terminado;
}

QString MensajeCopiaExcesiva() {
    // The count stops just past the bound: what is said is the bound the text passes.
    return QStringLiteral("El informe tiene más de %1 caracteres, más de los que el portapapeles admite con la "
                          "memoria disponible; use Guardar solución para llevarlo a un archivo")
        .arg(QLocale().toString(static_cast<qlonglong>(MemoInforme::MaximoPortapapeles())));
}

int64_t EstimarPaginas(const MemoInforme& memo, QPrinter& impresora) {
    const int lineas = memo.NumeroLineas();
    if (lineas == 0) return 1;
    const QFont fuente = FuenteImpresora(memo.font(), memo.logicalDpiY(), impresora.resolution());
    const QFontMetricsF impresa(fuente, &impresora);
    const QFontMetricsF pantalla(memo.font());
    const QRectF pagina = impresora.pageLayout().paintRectPixels(impresora.resolution());
    const double alto = std::max(1.0, impresa.height() + 2);
    const double porPagina = std::max(1.0, std::floor((pagina.height() - 2 * alto) / alto) + 1);
    // A printed line is as wide as the memo's, in the printer's characters.
    const double escala = impresa.averageCharWidth() / std::max(1.0, pantalla.averageCharWidth());
    const double ancho = std::max(1.0, pagina.width());
    // Many lines: every k-th one stands for the k around it.
    const int paso = std::max(1, lineas / 20000);
    double filas = 0;
    for (int i = 0; i < lineas; i += paso) {
        const int k = memo.LongitudLinea(i);
        const double w = (memo.PuntoDe({i, k}).x() - memo.PuntoDe({i, 0}).x()) * escala;
        filas += std::max(1.0, std::ceil(w / ancho)) * std::min(paso, lineas - i);
    }
    return static_cast<int64_t>(std::ceil(filas / porPagina));
}

bool ConfirmarImpresion(QWidget* padre, const MemoInforme& memo, QPrinter& impresora, TareasLargas& tareas,
                        const QString& accion) {
    const int64_t paginas = EstimarPaginas(memo, impresora);
    if (paginas <= kPaginasSinAviso) return true;
    return tareas.Confirmar(padre, kTituloAplicacion,
                            QStringLiteral("El informe ocupará unas %1 páginas en esta impresora. ¿Quiere %2?")
                                .arg(QLocale().toString(static_cast<qlonglong>(paginas)), accion));
}

}  // namespace tavelorin
