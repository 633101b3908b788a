// Keeping a chart: the chart page (the chart and its legend, as the screen shows them)
// written to a PNG, SVG or PDF file, or put on the clipboard as an image.
#pragma once

#include <QImage>
#include <QString>
#include <optional>

class QWidget;

namespace tavelorin {

enum class FormatoGrafico { Png, Svg, Pdf };

// The format a file name asks for by its extension (any case); nullopt for another.
std::optional<FormatoGrafico> FormatoDeNombre(const QString& nombre);

// The filters of the export dialog, PNG first: "Imagen PNG (*.png);;…".
QString FiltrosDeGrafico();

// The page drawn into an image of its size times escala (the screen's pixel ratio for
// the clipboard), on white.
QImage ImagenDeGrafico(QWidget& pagina, double escala = 1);

// Writes the page in the format its name asks for (PNG when it asks for none), the lines
// as vectors in SVG and PDF; the file is replaced atomically, so "Cannot create file" or
// "Stream write error" leave an existing file as it was.
void ExportarGrafico(QWidget& pagina, const QString& nombre);

// Puts the page on the clipboard as an image, at the screen's pixel ratio.
void CopiarGrafico(QWidget& pagina);

}  // namespace tavelorin
