// Printing the report memo: a line-printer layout over a drawing surface, the print
// dialog, and the print command itself.
#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <cstdint>
#include <memory>

class QPrintDialog;
class QPrinter;
class QWidget;

namespace tavelorin {

class MemoInforme;

namespace mensajes {
inline constexpr const char* kSinImpresoraPredeterminada = "There is no default printer currently selected";
inline constexpr const char* kImpresoraNoValida = "Printer selected is not valid";
inline constexpr const char* kImpresoraSinTrabajo = "Printer is not currently printing";
inline constexpr const char* kImpresionEnCurso = "Printing in progress";
}  // namespace mensajes

// Where one print job draws. Lengths are device units, with the origin at the top-left
// corner of the printable area. Every call that needs the printer font (metrics,
// extents, drawing) and the end of the job fail with "Printer is not currently
// printing" when the system refused to start the job.
class SuperficieImpresion {
public:
    virtual ~SuperficieImpresion() = default;

    // Starts the job, which begins its first page; "Printer selected is not valid" when
    // the printer cannot be opened.
    virtual void Comenzar() = 0;
    // Ends the last page and hands the job to the printer.
    virtual void Terminar() = 0;
    // Ends the current page and begins the next.
    virtual void NuevaPagina() = 0;

    // Printable area and vertical resolution (device units per inch).
    virtual int32_t AnchoPagina() = 0;
    virtual int32_t AltoPagina() = 0;
    virtual int32_t ResolucionVertical() = 0;

    // The printer font, its pixel size already in device units.
    virtual void FijarFuente(const QFont& fuente, const QColor& color) = 0;
    // Full cell height and average character width of the printer font.
    virtual int32_t AltoCaracter() = 0;
    virtual int32_t AnchoMedioCaracter() = 0;
    // Width and height of a run as drawn; the height is the font's cell height.
    virtual QSize Extension(QStringView texto) = 0;
    // Draws a run with its top-left corner at (x, y).
    virtual void Dibujar(int32_t x, int32_t y, QStringView texto) = 0;
};

// The line printer of one job: turns characters into positioned runs of text on pages.
class CursorImpresion {
public:
    // The longest block ImprimirBloque is given.
    static constexpr int kLargoBloque = 128;

    // Reads the printable size; starts at the top-left corner with an empty line.
    explicit CursorImpresion(SuperficieImpresion& superficie);

    void NuevaPagina();
    // To the start of the next line; a new page once less than two heights of the line
    // just left remain below it (beyond the bottom edge after an empty line).
    void NuevaLinea();
    // A run with no control characters, wrapped at the right edge at whatever character
    // crosses it. A character wider than the whole page is drawn alone on its line.
    void ImprimirTexto(QStringView caracteres);
    // A block that may hold tab, line feed, form feed and carriage return.
    void ImprimirBloque(QStringView caracteres);
    // The text as consecutive blocks of at most kLargoBloque characters.
    void ImprimirEnBloques(QStringView texto);

    int32_t X = 0;
    int32_t Y = 0;
    int32_t AnchoPagina = 0;
    int32_t AltoPagina = 0;
    int32_t AltoLinea = 0;  // 0 while nothing is drawn on the line, else text height + 2

private:
    void Tabular();

    SuperficieImpresion& superficie_;
};

// The characters of a memo line as they go to the printer: all of them, converted to
// Windows-1252 ("?" for what the code page lacks) and read back as the characters those
// bytes stand for.
QString LineaParaImprimir(const QString& linea);

// The memo's font as the printer font: the same face and style, its size taken to whole
// points (from the pixel size at dpiMemo when it has no point size) and then to device
// units at the given resolution, each step rounded to the nearest, halves away from zero.
QFont FuenteImpresora(const QFont& fuenteMemo, int dpiMemo, int32_t resolucion);

// --- Platform ---

// The real surface: a QPainter on the printer. While the pages are handed over it lets
// the window handle its pending events, as the system's print spooler does.
class SuperficieQt : public SuperficieImpresion {
public:
    explicit SuperficieQt(QPrinter& impresora);
    ~SuperficieQt() override;

    void Comenzar() override;
    void Terminar() override;
    void NuevaPagina() override;
    int32_t AnchoPagina() override;
    int32_t AltoPagina() override;
    int32_t ResolucionVertical() override;
    void FijarFuente(const QFont& fuente, const QColor& color) override;
    int32_t AltoCaracter() override;
    int32_t AnchoMedioCaracter() override;
    QSize Extension(QStringView texto) override;
    void Dibujar(int32_t x, int32_t y, QStringView texto) override;

private:
    void ExigirTrabajo() const;

    QPrinter& impresora_;
    QPainter pintor_;
    bool comenzado_ = false;
    bool imprimiendo_ = false;  // the system accepted the job
    QFont fuente_;
    QColor color_;
};

// What printing asks of the system, behind an interface so tests can stand in for it.
class SistemaImpresion {
public:
    virtual ~SistemaImpresion() = default;
    // The printer the system names as default; empty when it names none.
    virtual QString ImpresoraPredeterminada() const = 0;
    // The drawing surface of one job on the printer.
    virtual std::unique_ptr<SuperficieImpresion> AbrirSuperficie(QPrinter& impresora) = 0;
};

class SistemaImpresionQt : public SistemaImpresion {
public:
    QString ImpresoraPredeterminada() const override;
    std::unique_ptr<SuperficieImpresion> AbrirSuperficie(QPrinter& impresora) override;
};

// The default printer from what the system reports: the one marked as default, else the
// first installed one (as QPrinter itself chooses); empty when none is installed.
QString ElegirImpresoraPredeterminada(const QString& marcada, const QStringList& instaladas);

SistemaImpresion& SistemaImpresionDelEquipo();

// The print dialog, behind an interface so tests can answer it.
class DialogoImprimir {
public:
    virtual ~DialogoImprimir() = default;
    // Shows the dialog on the application's printer: the printer, its settings and the
    // copies with collation. True when confirmed; the choices are then in the printer.
    // On cancel the printer is left as it was.
    virtual bool Ejecutar(QWidget* padre, QPrinter& impresora) = 0;
};

class DialogoImprimirQt : public DialogoImprimir {
public:
    bool Ejecutar(QWidget* padre, QPrinter& impresora) override;
};

// What the print dialog offers: no page range, no selection, no current page and no
// printing to a file; copies with collation.
void PrepararDialogoImprimir(QPrintDialog& dialogo);

// --- The command ---

// Prints the memo's lines on the application's printer in the memo's font: the print
// dialog first (cancel: nothing happens), then one job. Errors are ErrorTavelorin with
// the messages above; once the job has started it is ended in any case.
void ImprimirSolucion(QWidget* padre, QPrinter& impresora, const MemoInforme& memo, DialogoImprimir& dialogo,
                      SistemaImpresion& sistema = SistemaImpresionDelEquipo());

}  // namespace tavelorin
