#include "ui/Fuentes.h"

#include <QFontInfo>
#include <cmath>

namespace tavelorin {

QFont FuenteParaDialogo(const QFont& memo, int dpi) {
    const QFontInfo dibujada(memo);
    QFont fuente(dibujada.family());
    fuente.setStyleHint(memo.styleHint());
    fuente.setWeight(memo.weight());
    fuente.setItalic(memo.italic());
    fuente.setUnderline(memo.underline());
    fuente.setStrikeOut(memo.strikeOut());
    const double puntos = memo.pointSizeF() > 0 ? memo.pointSizeF() : memo.pixelSize() * 72.0 / (dpi > 0 ? dpi : 96);
    fuente.setPointSizeF(puntos);
    return fuente;
}

std::optional<QFont> FuenteCambiada(const QFont& ofrecida, const QFont& elegida) {
    const bool igual = elegida.family().compare(ofrecida.family(), Qt::CaseInsensitive) == 0 &&
                       elegida.bold() == ofrecida.bold() && elegida.italic() == ofrecida.italic() &&
                       elegida.underline() == ofrecida.underline() && elegida.strikeOut() == ofrecida.strikeOut() &&
                       std::lround(elegida.pointSizeF()) == std::lround(ofrecida.pointSizeF());
    if (igual) return std::nullopt;
    return elegida;
}

}  // namespace tavelorin
