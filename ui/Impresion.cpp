#include "ui/Impresion.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "core/Errores.h"
#include "files/FicheroTexto.h"
#include "ui/MemoInforme.h"
#include "ui/SalidaFichero.h"

namespace tavelorin {

namespace {

// a * b / c rounded to the nearest, halves away from zero.
int64_t MultiplicarDividir(int64_t a, int64_t b, int64_t c) {
    const int64_t p = a * b;
    const int64_t mitad = c / 2;
    return p >= 0 ? (p + mitad) / c : -((-p + mitad) / c);
}

// The character each Windows-1252 byte stands for.
const std::array<char16_t, 256>& CaracteresWindows1252() {
    static const std::array<char16_t, 256> tabla = [] {
        std::array<char16_t, 256> t{};
        for (int b = 0; b < 256; ++b) {
            if (b < 0x80) {
                t[b] = static_cast<char16_t>(b);
            } else {
                // A single byte is never taken for a byte-order mark.
                const QString c = QString::fromStdString(DecodificarBytes(std::string(1, static_cast<char>(b))));
                t[b] = c.isEmpty() ? u'?' : c.at(0).unicode();
            }
        }
        return t;
    }();
    return tabla;
}

// One job at a time on the application's printer.
int trabajosEnCurso = 0;

class MarcaTrabajo {
public:
    MarcaTrabajo() { ++trabajosEnCurso; }
    ~MarcaTrabajo() { --trabajosEnCurso; }
    MarcaTrabajo(const MarcaTrabajo&) = delete;
    MarcaTrabajo& operator=(const MarcaTrabajo&) = delete;
};

}  // namespace

// --- Line printer ---

CursorImpresion::CursorImpresion(SuperficieImpresion& superficie)
    : AnchoPagina(superficie.AnchoPagina()), AltoPagina(superficie.AltoPagina()), superficie_(superficie) {}

void CursorImpresion::NuevaPagina() {
    superficie_.NuevaPagina();
    X = 0;
    Y = 0;
}

void CursorImpresion::NuevaLinea() {
    X = 0;
    const int64_t avance = AltoLinea != 0 ? AltoLinea : superficie_.AltoCaracter();
    Y = static_cast<int32_t>(Y + avance);
    if (int64_t{Y} > int64_t{AltoPagina} - 2 * int64_t{AltoLinea}) NuevaPagina();
    AltoLinea = 0;
}

void CursorImpresion::ImprimirTexto(QStringView caracteres) {
    while (!caracteres.isEmpty()) {
        qsizetype l = caracteres.size();
        QSize extension = superficie_.Extension(caracteres.first(l));
        while (l > 0 && int64_t{X} + extension.width() > AnchoPagina) {
            // At the left edge a character wider than the page goes alone on its line;
            // dropping it would advance lines without end.
            if (l == 1 && X == 0) break;
            --l;
            extension = superficie_.Extension(caracteres.first(l));
        }
        if (AltoLinea < extension.height()) AltoLinea = extension.height() + 2;
        if (l > 0) superficie_.Dibujar(X, Y, caracteres.first(l));
        caracteres = caracteres.sliced(l);
        if (!caracteres.isEmpty()) {
            NuevaLinea();
        } else {
            X = static_cast<int32_t>(X + extension.width());
        }
    }
}

// To the smallest multiple of T greater than X + 1, T being 8 average character widths.
void CursorImpresion::Tabular() {
    const int64_t t = (8 * int64_t{superficie_.AnchoMedioCaracter()}) & 0xFFFF;
    if (t == 0) return;  // a font with no width: the tab does not move
    const int64_t x = X;
    X = static_cast<int32_t>(x + t - ((x + t + 1) % t) + 1);
    if (X > AnchoPagina) NuevaLinea();
}

void CursorImpresion::ImprimirBloque(QStringView caracteres) {
    qsizetype inicio = 0;
    auto dibujarPendiente = [&](qsizetype fin) {
        if (fin > inicio) ImprimirTexto(caracteres.sliced(inicio, fin - inicio));
    };
    for (qsizetype i = 0; i < caracteres.size(); ++i) {
        const char16_t c = caracteres[i].unicode();
        if (c != u'\t' && c != u'\n' && c != u'\f' && c != u'\r') continue;
        dibujarPendiente(i);
        inicio = i + 1;
        switch (c) {
            case u'\t': Tabular(); break;
            case u'\n': NuevaLinea(); break;
            case u'\f': NuevaPagina(); break;
            default: break;  // carriage return: the run is only split
        }
    }
    dibujarPendiente(caracteres.size());
}

void CursorImpresion::ImprimirEnBloques(QStringView texto) {
    for (qsizetype i = 0; i < texto.size(); i += kLargoBloque)
        ImprimirBloque(texto.sliced(i, std::min<qsizetype>(kLargoBloque, texto.size() - i)));
}

// --- Text and font of the job ---

QString LineaParaImprimir(const QString& linea) {
    const std::string bytes = CodificarWindows1252(linea.toStdString());
    const auto& tabla = CaracteresWindows1252();
    QString caracteres(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    for (size_t i = 0; i < bytes.size(); ++i)
        caracteres[static_cast<qsizetype>(i)] = QChar(tabla[static_cast<unsigned char>(bytes[i])]);
    return caracteres;
}

QFont FuenteImpresora(const QFont& fuenteMemo, int dpiMemo, int32_t resolucion) {
    int64_t puntos;
    if (fuenteMemo.pointSizeF() > 0) {
        puntos = std::llround(fuenteMemo.pointSizeF());
    } else {
        puntos = MultiplicarDividir(fuenteMemo.pixelSize(), 72, dpiMemo > 0 ? dpiMemo : 96);
    }
    const int64_t alto = MultiplicarDividir(puntos, resolucion, 72);
    QFont fuente = fuenteMemo;
    fuente.setPixelSize(static_cast<int>(std::max<int64_t>(1, alto)));
    return fuente;
}

// --- Qt surfaces ---

SuperficiePaginas::SuperficiePaginas(QPagedPaintDevice& dispositivo) : dispositivo_(dispositivo) {}

SuperficiePaginas::~SuperficiePaginas() {
    if (pintor_.isActive()) pintor_.end();
}

void SuperficiePaginas::Comenzar() {
    if (!Valido()) throw ErrorTavelorin(mensajes::kImpresoraNoValida);
    comenzado_ = true;
    imprimiendo_ = pintor_.begin(&dispositivo_);
    if (imprimiendo_) {
        pintor_.setFont(fuente_);
        pintor_.setPen(color_);
    }
}

void SuperficiePaginas::Terminar() {
    if (!comenzado_) return;
    comenzado_ = false;
    AlEntregar();
    if (!imprimiendo_) throw ErrorTavelorin(mensajes::kImpresoraSinTrabajo);
    imprimiendo_ = false;
    pintor_.end();
}

void SuperficiePaginas::ExigirTrabajo() const {
    if (!imprimiendo_) throw ErrorTavelorin(mensajes::kImpresoraSinTrabajo);
}

void SuperficiePaginas::NuevaPagina() {
    ExigirTrabajo();
    dispositivo_.newPage();
    AlEntregar();
}

int32_t SuperficiePaginas::AnchoPagina() { return dispositivo_.width(); }

int32_t SuperficiePaginas::AltoPagina() { return dispositivo_.height(); }

int32_t SuperficiePaginas::ResolucionVertical() { return dispositivo_.logicalDpiY(); }

void SuperficiePaginas::FijarFuente(const QFont& fuente, const QColor& color) {
    fuente_ = fuente;
    color_ = color;
    if (imprimiendo_) {
        pintor_.setFont(fuente_);
        pintor_.setPen(color_);
    }
}

int32_t SuperficiePaginas::AltoCaracter() {
    ExigirTrabajo();
    return pintor_.fontMetrics().height();
}

int32_t SuperficiePaginas::AnchoMedioCaracter() {
    ExigirTrabajo();
    return pintor_.fontMetrics().averageCharWidth();
}

QSize SuperficiePaginas::Extension(QStringView texto) {
    ExigirTrabajo();
    const QFontMetrics metricas = pintor_.fontMetrics();
    return {metricas.horizontalAdvance(texto.toString()), metricas.height()};
}

void SuperficiePaginas::Dibujar(int32_t x, int32_t y, QStringView texto) {
    ExigirTrabajo();
    pintor_.drawText(QPoint(x, y + pintor_.fontMetrics().ascent()), texto.toString());
}

SuperficieQt::SuperficieQt(QPrinter& impresora) : SuperficiePaginas(impresora), impresora_(impresora) {}

void SuperficieQt::Comenzar() {
    if (Valido()) impresora_.setDocName(QString());
    SuperficiePaginas::Comenzar();
}

bool SuperficieQt::Valido() const {
    return impresora_.outputFormat() == QPrinter::NativeFormat ? impresora_.isValid()
                                                               : !impresora_.outputFileName().isEmpty();
}

void SuperficieQt::AlEntregar() { QCoreApplication::processEvents(); }

// --- System ---

std::unique_ptr<SuperficieImpresion> SistemaImpresionQt::AbrirSuperficie(QPrinter& impresora) {
    return std::make_unique<SuperficieQt>(impresora);
}

SistemaImpresion& SistemaImpresionDelEquipo() {
    static SistemaImpresionQt sistema;
    return sistema;
}

void PrepararDialogoImprimir(QPrintDialog& dialogo) {
    dialogo.setOptions(QAbstractPrintDialog::PrintCollateCopies | QAbstractPrintDialog::PrintShowPageSize |
                       QAbstractPrintDialog::PrintToFile);
    dialogo.setPrintRange(QAbstractPrintDialog::AllPages);
}

bool DialogoImprimirQt::Ejecutar(QWidget* padre, QPrinter& impresora) {
    QPrintDialog dialogo(&impresora, padre);
    PrepararDialogoImprimir(dialogo);
    return dialogo.exec() == QDialog::Accepted;
}

// --- The commands ---

void ImprimirEn(SuperficieImpresion& superficie, const MemoInforme& memo) {
    superficie.Comenzar();
    try {
        CursorImpresion cursor(superficie);
        superficie.FijarFuente(FuenteImpresora(memo.font(), memo.logicalDpiY(), superficie.ResolucionVertical()),
                               memo.palette().color(QPalette::Text));
        // The count is taken once; lines the memo has lost meanwhile print empty.
        const int lineas = memo.NumeroLineas();
        for (int i = 0; i < lineas; ++i) cursor.ImprimirEnBloques(LineaParaImprimir(memo.Linea(i)) + u'\n');
    } catch (...) {
        // The pages drawn so far are printed; the first error is the one reported.
        try {
            superficie.Terminar();
        } catch (...) {
        }
        throw;
    }
    superficie.Terminar();
}

void ImprimirSolucion(QWidget* padre, QPrinter& impresora, const MemoInforme& memo, DialogoImprimir& dialogo,
                      SistemaImpresion& sistema) {
    if (trabajosEnCurso > 0) throw ErrorTavelorin(mensajes::kImpresionEnCurso);
    if (!dialogo.Ejecutar(padre, impresora)) return;
    MarcaTrabajo marca;
    ImprimirEn(*sistema.AbrirSuperficie(impresora), memo);
}

void ImprimirVistaPreliminar(QPrinter& destino, const MemoInforme& memo) {
    SuperficiePaginas superficie(destino);
    ImprimirEn(superficie, memo);
}

void ExportarPdf(const QString& nombre, const QPrinter& impresora, const MemoInforme& memo) {
    SalidaFichero salida(nombre);
    {
        QPdfWriter pdf(&salida);
        pdf.setCreator(QStringLiteral("TAVELORIN"));
        pdf.setResolution(impresora.resolution());
        pdf.setPageLayout(impresora.pageLayout());
        SuperficiePaginas superficie(pdf);
        ImprimirEn(superficie, memo);
    }
    salida.Confirmar();
}

}  // namespace tavelorin
