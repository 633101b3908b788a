// The report on its way out of the window: into the memo as generated lines; to the
// clipboard, a solution file or the printer, each checked first against the memory
// available (a report too large for what is left is refused with "Out of memory" and
// nothing changes) and, for the clipboard, against what it can sensibly take; a solution
// file written line by line with a progress bar, after checking the free space; the
// printer after a question when the job runs to hundreds of pages.
#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <string>

class QPrinter;
class QWidget;

namespace tavelorin {

struct TablaEtapas;
class LineasGeneradas;
class MemoInforme;
class TareasLargas;

// The lines the memo shows for a run. Throws ErrorTavelorin when the memo could not
// show them (more lines, or a longer line, than it counts).
std::shared_ptr<const LineasGeneradas> LineasParaMemo(const TablaEtapas& tabla, const std::string& separador);

// Bytes each way needs for the memo's current text (at least; counted no further than
// the memory available, for a report of millions of lines).
uint64_t MemoriaParaCopiar(const MemoInforme& memo);
uint64_t MemoriaParaEscribir(const MemoInforme& memo);
uint64_t MemoriaParaImprimir(const MemoInforme& memo);

// The whole text on the clipboard (see MemoInforme::CopiarTodo), the memo focused with
// its text selected. A text larger than the clipboard takes is refused with
// MensajeCopiaExcesiva, pointing to Guardar solución.
void CopiarInforme(MemoInforme& memo);
// What Copiar says when the text is larger than the clipboard takes.
QString MensajeCopiaExcesiva();

// The memo's lines written to a solution file one at a time (see EscribirLineasFichero).
void EscribirInforme(const QString& nombre, const MemoInforme& memo);

// Writes the memo's whole text to a solution file as EscribirLineasFichero writes its
// lines (every line followed by CR LF, Windows-1252), produced line by line on a worker
// thread with a progress bar. The free space is checked first. False when the user
// cancelled: the old file is then left as it was.
bool GuardarTextoMemo(QWidget* padre, const std::string& nombre, const MemoInforme& memo, TareasLargas& tareas);

// "Out of memory" when writing or printing the memo would not fit; the commands check
// before they show their dialogs.
void ComprobarMemoriaEscritura(const MemoInforme& memo);
void ComprobarMemoriaImpresion(const MemoInforme& memo);

// About how many pages printing the memo takes on this printer: every line, wrapped at
// the printable width; sampled when the memo has many lines.
int64_t EstimarPaginas(const MemoInforme& memo, QPrinter& impresora);
// Jobs beyond this many pages are announced first.
inline constexpr int64_t kPaginasSinAviso = 500;
// The announcement: true when the job is to go on. accion names it in the question
// ("imprimirlo", "exportarlo a PDF").
bool ConfirmarImpresion(QWidget* padre, const MemoInforme& memo, QPrinter& impresora, TareasLargas& tareas,
                        const QString& accion = QStringLiteral("imprimirlo"));

}  // namespace tavelorin
