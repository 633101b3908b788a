#include "MemoInforme.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTextBlock>
#include <QTextDocument>

namespace tavelorin {

namespace {

// Plain text with CR LF line breaks; nothing else goes on the clipboard.
QMimeData* TextoPlano(QString texto) {
    auto* datos = new QMimeData;
    datos->setText(texto);
    return datos;
}

}  // namespace

MemoInforme::MemoInforme(QWidget* padre) : QPlainTextEdit(padre) {
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setWordWrapMode(QTextOption::NoWrap);
    QFont fuente(QStringLiteral("Courier New"));
    fuente.setStyleHint(QFont::Monospace);
    fuente.setPixelSize(11);
    setFont(fuente);
}

void MemoInforme::setFont(const QFont& fuente) {
    QPlainTextEdit::setFont(fuente);
    document()->setDefaultFont(fuente);
    AjustarTabuladores();
}

void MemoInforme::changeEvent(QEvent* evento) {
    QPlainTextEdit::changeEvent(evento);
    if (evento->type() == QEvent::FontChange) AjustarTabuladores();
}

void MemoInforme::AjustarTabuladores() {
    setTabStopDistance(8 * QFontMetricsF(font()).horizontalAdvance(QLatin1Char(' ')));
}

int MemoInforme::NumeroLineas() const {
    if (document()->isEmpty()) return 0;
    return document()->blockCount();
}

QString MemoInforme::Linea(int indice) const { return document()->findBlockByNumber(indice).text(); }

std::vector<std::string> MemoInforme::Lineas() const {
    std::vector<std::string> lineas;
    if (document()->isEmpty()) return lineas;
    lineas.reserve(static_cast<size_t>(document()->blockCount()));
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) lineas.push_back(b.text().toStdString());
    return lineas;
}

QString MemoInforme::Texto() const {
    QString texto;
    if (document()->isEmpty()) return texto;
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) {
        texto += b.text();
        texto += QStringLiteral("\r\n");
    }
    return texto;
}

void MemoInforme::Vaciar() { clear(); }

void MemoInforme::ReemplazarLineas(const std::vector<std::string>& lineas) {
    size_t bytes = 0;
    for (const std::string& l : lineas) bytes += l.size() + 1;
    std::string todo;
    todo.reserve(bytes);
    for (size_t i = 0; i < lineas.size(); ++i) {
        if (i > 0) todo.push_back('\n');
        todo.append(lineas[i]);
    }
    setPlainText(QString::fromUtf8(todo));
}

void MemoInforme::CopiarTodo() { QGuiApplication::clipboard()->setMimeData(TextoPlano(Texto())); }

QMimeData* MemoInforme::createMimeDataFromSelection() const {
    QString texto = textCursor().selectedText();
    texto.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    texto.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
    return TextoPlano(texto);
}

}  // namespace tavelorin
