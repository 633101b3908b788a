// The main window's commands. Its construction (actions, menus, tool bar, pages) is in
// MainConstruccion.cpp.
#include "ui/Main.h"

#include <QAction>
#include <QEvent>
#include <QLineEdit>
#include <QLocale>

#include "core/Errores.h"
#include "core/Informe.h"
#include "core/Secuenciador.h"
#include "core/TextoEntero.h"
#include "files/FicheroTexto.h"
#include "ui/AboutU.h"
#include "ui/AleatorioU.h"
#include "ui/Dialogos.h"
#include "ui/Fuentes.h"
#include "ui/GraficosConsumo.h"
#include "ui/Impresion.h"
#include "ui/ManejoErrores.h"
#include "ui/MemoInforme.h"
#include "ui/ModeloMatriz.h"

namespace tavelorin {

// Start-up: the command-line problem, or an empty grid of 3 products and 4 components.
void TMainForm::FormCreate(const QStringList& argumentos) {
    EjecutarComando(dialogos_, this, [&] {
        if (!argumentos.isEmpty()) {
            ficheroProblema_ = argumentos.front();
            CargarProblema();
        } else {
            modelo_->FijarFilas(4);
            modelo_->FijarColumnas(6);
            modelo_->Rotular();
        }
        resuelto_ = false;
        ActualizarBotones();
    });
}

void TMainForm::LeerSeparadorDecimal() {
    const QString punto = QLocale::system().decimalPoint();
    separador_ = punto.isEmpty() ? std::string(".") : punto.toStdString();
}

void TMainForm::changeEvent(QEvent* evento) {
    if (evento->type() == QEvent::LocaleChange) LeerSeparadorDecimal();
    QMainWindow::changeEvent(evento);
}

// --- Files ---

namespace {

const QString kFiltroProblema = QStringLiteral("Problema de Brisak (*.brk)");
const QString kFiltroSolucion = QStringLiteral("Solución algoritmo de Brisak (*.sol)");
const QString kPlantee = QStringLiteral("Plantee el problema antes de guardarlo.");

// A name typed without an extension gets the dialog's default one.
QString ConExtension(const QString& nombre, const QString& extension) {
    const QString base = nombre.section(QLatin1Char('/'), -1);
    return base.contains(QLatin1Char('.')) ? nombre : nombre + QLatin1Char('.') + extension;
}

}  // namespace

void TMainForm::AbrirProblema() {
    const std::optional<QString> nombre = dialogos_.NombreParaAbrir(this, kFiltroProblema, nombreAbrir_);
    if (!nombre) return;
    nombreAbrir_ = *nombre;
    NuevoProblema();
    ficheroProblema_ = *nombre;
    CargarProblema();
}

void TMainForm::CargarProblema() {
    modelo_->Cargar(LeerLineasFichero(ficheroProblema_.toStdString()));
}

void TMainForm::GuardarProblema() {
    if (!ficheroProblema_.isEmpty() && MatrizCompleta())
        EscribirProblema();
    else
        GuardarProblemaComo();
}

void TMainForm::ArchivoGrabarProblemaClick() {
    if (!MatrizCompleta()) {
        dialogos_.MostrarInformacion(this, kTituloAplicacion, kPlantee);
        return;
    }
    if (!ficheroProblema_.isEmpty())
        EscribirProblema();
    else
        GuardarProblemaComo();
}

void TMainForm::ArchivoGrabarProblemaComoClick() {
    if (MatrizCompleta())
        GuardarProblemaComo();
    else
        dialogos_.MostrarInformacion(this, kTituloAplicacion, kPlantee);
}

void TMainForm::GuardarProblemaComo() {
    const std::optional<QString> nombre =
        dialogos_.NombreParaGuardar(this, kFiltroProblema, QStringLiteral("brk"), nombreGuardarProblema_);
    if (!nombre) return;
    ficheroProblema_ = ConExtension(*nombre, QStringLiteral("brk"));
    nombreGuardarProblema_ = ficheroProblema_;
    EscribirProblema();
}

void TMainForm::EscribirProblema() {
    EscribirLineasFichero(ficheroProblema_.toStdString(), modelo_->Matriz().LineasProblema());
}

void TMainForm::GuardarSolucion() {
    if (!ficheroSolucion_.isEmpty() && resuelto_)
        EscribirSolucion();
    else
        GuardarSolucionComo();
}

void TMainForm::GuardarSolucionComo() {
    const QString propuesto =
        QString::fromStdString(NombreSolucionPropuesto(ficheroProblema_.toStdString()));
    const std::optional<QString> nombre =
        dialogos_.NombreParaGuardar(this, kFiltroSolucion, QStringLiteral("sol"), propuesto);
    if (!nombre) return;
    ficheroSolucion_ = ConExtension(*nombre, QStringLiteral("sol"));
    EscribirSolucion();
}

void TMainForm::EscribirSolucion() {
    EscribirLineasFichero(ficheroSolucion_.toStdString(), Memo1->Lineas());
}

// --- Random problem ---

void TMainForm::CrearProblemaAleatorio() {
    TFormAleatorio formulario(this);
    if (!dialogos_.MostrarModal(formulario)) return;
    const TextosAleatorios textos = formulario.Textos();
    // Refused before the reset, so the problem on screen is not lost.
    ComprobarComponentesAleatorios(textos);
    NuevoProblema();
    generador_.SembrarAleatorio();
    const ParametrosAleatorios parametros = LeerParametrosAleatorios(textos, separador_);
    modelo_->Generar(parametros, generador_);
}

// --- Enabling ---

bool TMainForm::MatrizCompleta() const { return modelo_->Matriz().Completa(); }

void TMainForm::MatrizDrawCell() {
    const bool completa = MatrizCompleta();
    TBResolver->setEnabled(completa);
    ResolverProblema->setEnabled(completa);
    TBGuardar->setEnabled(completa);
}

void TMainForm::ActualizarBotones() {
    TBImprimir->setEnabled(resuelto_);
    TBCopiar->setEnabled(resuelto_);
}

void TMainForm::ArchivoMenuClick() {
    ArchivoGrabarSolucion->setEnabled(resuelto_);
    ArchivoGrabarSolucionComo->setEnabled(resuelto_);
    ArchivoImprimir->setEnabled(resuelto_);
    ArchivoVistaPreliminar->setEnabled(resuelto_);
    ArchivoExportarPdf->setEnabled(resuelto_);
    const bool completa = MatrizCompleta();
    ArchivoGrabarProblema->setEnabled(completa);
    ArchivoGrabarProblemaComo->setEnabled(completa);
}

// --- Grid commands ---

void TMainForm::NuevoProblema() {
    Memo1->Vaciar();
    modelo_->FijarFilas(4);
    modelo_->FijarColumnas(6);
    EComp->setText(QStringLiteral("1"));
    modelo_->Rotular();
    ficheroProblema_.clear();
    resuelto_ = false;
    ActualizarBotones();
    Graficos->BorrarSeriesVel();
    Graficos->BorrarSeriesTasas();
}

void TMainForm::DimensionarProblema() {
    const QString titulo = QStringLiteral("Problema de Brisak");
    const QString productos =
        dialogos_.PedirTexto(this, titulo, QStringLiteral("Número de Productos"), QStringLiteral("3")).value_or(QStringLiteral("3"));
    const QString componentes =
        dialogos_.PedirTexto(this, titulo, QStringLiteral("Número de Componentes"), QStringLiteral("4")).value_or(QStringLiteral("4"));
    // The count typed into a prompt, or the integer message saying which prompt it was.
    const auto recuento = [](const QString& texto, const char* que) {
        const std::string t = texto.toStdString();
        if (const auto v = IntentarTextoAEntero(t)) return *v;
        LanzarEnteroInvalido(t, std::string("El ") + que + " escrito en Items no es un número entero.");
    };
    const int32_t filas =
        static_cast<int32_t>(static_cast<uint32_t>(recuento(productos, "número de productos")) + 1u);
    modelo_->FijarFilas(filas);
    const int32_t columnas =
        static_cast<int32_t>(static_cast<uint32_t>(recuento(componentes, "número de componentes")) + 2u);
    modelo_->FijarColumnas(columnas);
    modelo_->Rotular();
}

std::vector<std::string> TMainForm::ProblemaDeMatriz() {
    const MatrizProblema& m = modelo_->Matriz();
    estado_.NProd = m.Filas() - 1;
    estado_.NComp = m.Columnas() - 2;
    return m.LineasProblema();
}

// --- Solve ---

void TMainForm::EjecutarResolucion() {
    std::vector<std::string> informe;
    std::vector<std::string> secuencia;
    resuelto_ = false;
    const std::vector<std::string> problema = ProblemaDeMatriz();
    Secuenciar(estado_, problema, informe, secuencia, separador_);
    MostrarSolucion(informe, secuencia);
    Graficos->GraficoVelocidades();
    Graficos->GraficoTasas();
    resuelto_ = true;
    ActualizarBotones();
}

void TMainForm::MostrarSolucion(std::vector<std::string>& informe, const std::vector<std::string>& secuencia) {
    AnadirSolucion(informe, secuencia);
    Memo1->Vaciar();  // the old report goes first: the two are never held at once
    Memo1->ReemplazarLineas(std::move(informe));  // taken line by line, without a copy
}

// --- Window commands ---

void TMainForm::CopiarSolucion() {
    Memo1->setFocus();
    Memo1->selectAll();
    Memo1->CopiarTodo();
}

// The dialog starts from the face really drawn; leaving it as offered keeps the memo's font.
void TMainForm::ElegirFuente() {
    const QFont ofrecida = FuenteParaDialogo(Memo1->font(), Memo1->logicalDpiY());
    if (const auto elegida = dialogos_.ElegirFuente(this, ofrecida))
        if (const auto nueva = FuenteCambiada(ofrecida, *elegida)) Memo1->setFont(*nueva);
}

void TMainForm::ConfigurarImpresora() { dialogos_.ConfigurarImpresora(this, impresora_); }

void TMainForm::Salir() { close(); }

void TMainForm::ImprimirSolucion() { tavelorin::ImprimirSolucion(this, impresora_, *Memo1, dialogos_); }

void TMainForm::MostrarAcercaDe() { dialogos_.MostrarModal(*AboutBox); }

}  // namespace tavelorin
