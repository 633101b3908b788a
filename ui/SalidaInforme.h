// The report on its way out of the window: into the memo as generated lines, to a
// solution file line by line, to the clipboard within a bound, to the printer after a
// question when it runs to hundreds of pages.
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

// Writes the memo's whole text to a solution file as EscribirLineasFichero writes its
// lines (every line followed by CR LF, Windows-1252), produced line by line on a worker
// thread with a progress bar. The free space is checked first. False when the user
// cancelled: the old file is then left as it was.
bool GuardarTextoMemo(QWidget* padre, const std::string& nombre, const MemoInforme& memo, TareasLargas& tareas);

// What Copiar says when the text is larger than the clipboard takes.
QString MensajeCopiaExcesiva(int64_t caracteres);

// About how many pages printing the memo takes on this printer: every line, wrapped at
// the printable width; sampled when the memo has many lines.
int64_t EstimarPaginas(const MemoInforme& memo, QPrinter& impresora);
// Jobs beyond this many pages are announced first.
inline constexpr int64_t kPaginasSinAviso = 500;
// The announcement: true when the job is to go on.
bool ConfirmarImpresion(QWidget* padre, const MemoInforme& memo, QPrinter& impresora, TareasLargas& tareas);

}  // namespace tavelorin
