// The program's fonts. "MS Sans Serif" has no match on Linux; Liberation Sans has the
// metrics closest to it, so the fixed layouts keep their texts whole.
#pragma once

#include <QFont>
#include <QStringList>
#include <optional>

namespace tavelorin {

inline QFont FuenteSansSerif(int pixeles) {
    static const bool sustituida = [] {
        QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                                   {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
        return true;
    }();
    (void)sustituida;
    QFont fuente(QStringLiteral("MS Sans Serif"));
    fuente.setStyleHint(QFont::SansSerif);
    fuente.setPixelSize(pixeles);
    return fuente;
}

// The memo's font as the font dialog should offer it: the family really drawn ("Courier
// New" is Liberation Mono where it is missing), the same style, and the size in points
// (the dialog's unit; from the pixel size at dpi when the font has none).
QFont FuenteParaDialogo(const QFont& memo, int dpi);

// The font the dialog returned, unless it is the one offered (same family, style,
// effects and whole point size): then nothing is to change.
std::optional<QFont> FuenteCambiada(const QFont& ofrecida, const QFont& elegida);

}  // namespace tavelorin
