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

class QPagedPaintDevice;
class QPrintDialog;
class QPrinter;
class QWidget;

namespace tavelorin {

class MemoInforme;

namespace mensajes {
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

// The real surface on a paged device (a PDF writer, the preview's pages): a QPainter on it.
class SuperficiePaginas : public SuperficieImpresion {
public:
    explicit SuperficiePaginas(QPagedPaintDevice& dispositivo);
    ~SuperficiePaginas() override;

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

protected:
    // Whether the device can take a job; "Printer selected is not valid" when not.
    virtual bool Valido() const { return true; }
    // Runs while the pages are handed over.
    virtual void AlEntregar() {}

private:
    void ExigirTrabajo() const;

    QPagedPaintDevice& dispositivo_;
    QPainter pintor_;
    bool comenzado_ = false;
    bool imprimiendo_ = false;  // the system accepted the job
    QFont fuente_;
    QColor color_;
};

// The surface of the application's printer: the printer must be one that can be opened
// (or name its output file), and while the pages are handed over the window handles its
// pending events, as the system's print spooler lets it.
class SuperficieQt : public SuperficiePaginas {
public:
    explicit SuperficieQt(QPrinter& impresora);

    void Comenzar() override;

protected:
    bool Valido() const override;
    void AlEntregar() override;

private:
    QPrinter& impresora_;
};

// What printing asks of the system, behind an interface so tests can stand in for it.
class SistemaImpresion {
public:
    virtual ~SistemaImpresion() = default;
    // The drawing surface of one job on the printer.
    virtual std::unique_ptr<SuperficieImpresion> AbrirSuperficie(QPrinter& impresora) = 0;
};

class SistemaImpresionQt : public SistemaImpresion {
public:
    std::unique_ptr<SuperficieImpresion> AbrirSuperficie(QPrinter& impresora) override;
};

SistemaImpresion& SistemaImpresionDelEquipo();

// The print dialog, behind an interface so tests can answer it.
class DialogoImprimir {
public:
    virtual ~DialogoImprimir() = default;
    // Shows the dialog on the application's printer: the printer (or a PDF file), its
    // settings and the copies with collation. True when confirmed; the choices are then in
    // the printer. On cancel the printer is left as it was.
    virtual bool Ejecutar(QWidget* padre, QPrinter& impresora) = 0;
};

class DialogoImprimirQt : public DialogoImprimir {
public:
    bool Ejecutar(QWidget* padre, QPrinter& impresora) override;
};

// What the print dialog offers: copies with collation and printing to a PDF file (so a
// machine without printers can print too); no page range, no selection, no current page.
void PrepararDialogoImprimir(QPrintDialog& dialogo);

// --- The commands ---

// One job on a surface: started, the memo's lines drawn in the memo's font, and ended in
// any case, so the pages drawn so far are kept; the first error is the one thrown.
void ImprimirEn(SuperficieImpresion& superficie, const MemoInforme& memo);

// Prints the memo's lines on the application's printer in the memo's font: the print
// dialog first (cancel: nothing happens), then one job. Errors are ErrorTavelorin with
// the messages above; once the job has started it is ended in any case.
void ImprimirSolucion(QWidget* padre, QPrinter& impresora, const MemoInforme& memo, DialogoImprimir& dialogo,
                      SistemaImpresion& sistema = SistemaImpresionDelEquipo());

// The job as the print preview draws it, on the preview's printer.
void ImprimirVistaPreliminar(QPrinter& destino, const MemoInforme& memo);

// Writes the pages the application's printer would print (its page layout and
// resolution, the memo's font, the same line-printer layout) to a PDF file, which is
// replaced atomically: "Cannot create file" or "Stream write error" leave an existing
// file as it was.
void ExportarPdf(const QString& nombre, const QPrinter& impresora, const MemoInforme& memo);

}  // namespace tavelorin
