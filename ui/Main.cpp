// The main window's commands. Its construction (actions, menus, tool bar, pages) is in
// MainConstruccion.cpp.
#include "ui/Main.h"

#include <QAction>
#include <QCloseEvent>
#include <QEvent>
#include <QFrame>
#include <QLayout>
#include <QLineEdit>
#include <QLocale>
#include <QShowEvent>
#include <QSplitter>

#include "core/Calidad.h"
#include "core/Errores.h"
#include "core/Informe.h"
#include "core/Memoria.h"
#include "core/Secuenciador.h"
#include "files/FicheroTexto.h"
#include "ui/AboutU.h"
#include "ui/AleatorioU.h"
#include "ui/CambiosPendientes.h"
#include "ui/DeshacerMatriz.h"
#include "ui/Dialogos.h"
#include "ui/Dimensiones.h"
#include "ui/Fuentes.h"
#include "ui/GraficosConsumo.h"
#include "ui/GuardiaCambios.h"
#include "ui/Impresion.h"
#include "ui/LineasGeneradas.h"
#include "ui/ManejoErrores.h"
#include "ui/MemoInforme.h"
#include "ui/ModeloMatriz.h"
#include "ui/NombresFichero.h"
#include "ui/PaginaCalidad.h"
#include "ui/RutasFichero.h"
#include "ui/SalidaInforme.h"
#include "ui/TareasLargas.h"
#include "ui/VistaMatriz.h"

namespace tavelorin {

namespace {

const QString kFiltroProblema = QStringLiteral("Problema de Brisak (*.brk)");
const QString kFiltroSolucion = QStringLiteral("Solución algoritmo de Brisak (*.sol)");
const QString kPlantee = QStringLiteral("Plantee el problema antes de guardarlo.");
// The grid's panel is never narrower than this.
constexpr int kAnchoPanelMatriz = 254;

// The empty problem of New and of a start without a problem file: 3 products, 4
// components, labelled.
MatrizProblema ProblemaVacio() {
    MatrizProblema vacio;
    vacio.FijarTamano(4, 6);
    vacio.Rotular();
    return vacio;
}

// A name typed without an extension gets the dialog's default one.
QString ConExtension(const QString& nombre, const QString& extension) {
    const QString base = nombre.section(QLatin1Char('/'), -1);
    return base.contains(QLatin1Char('.')) ? nombre : nombre + QLatin1Char('.') + extension;
}

}  // namespace

// Start-up: the command-line problem, or (without one, or when it fails to load) an
// empty grid of 3 products and 4 components.
void TMainForm::FormCreate(const QStringList& argumentos) {
    const bool cargado =
        !argumentos.isEmpty() && EjecutarComando(dialogos_, this, [&] { CargarProblema(argumentos.front()); });
    if (!cargado) EmpezarProblema(ProblemaVacio(), QString(), false);
    resuelto_ = false;
    ActualizarBotones();
}

void TMainForm::LeerSeparadorDecimal() {
    const QString punto = QLocale::system().decimalPoint();
    separador_ = punto.isEmpty() ? std::string(".") : punto.toStdString();
}

void TMainForm::changeEvent(QEvent* evento) {
    if (evento->type() == QEvent::LocaleChange) LeerSeparadorDecimal();
    QMainWindow::changeEvent(evento);
}

void TMainForm::closeEvent(QCloseEvent* evento) {
    Matriz->ConfirmarEdicion();
    if (guardia_->PuedeCerrar())
        evento->accept();
    else
        evento->ignore();
}

void TMainForm::showEvent(QShowEvent* evento) {
    QMainWindow::showEvent(evento);
    // The splitter has its real width only now.
    if (!evento->spontaneous() && !panelAjustado_) {
        panelAjustado_ = true;
        AjustarPanelMatriz();
    }
}

void TMainForm::AjustarPanelMatriz() {
    const int total = isVisible() ? Splitter1->width() : width();
    // What the panel adds around the grid: its frame and its layout's margins.
    const QMargins margenes = Panel1->contentsMargins() + Panel1->layout()->contentsMargins();
    const int necesario = Matriz->AnchoParaTodasLasColumnas() + margenes.left() + margenes.right();
    const int ancho = std::max(kAnchoPanelMatriz, std::min(necesario, total / 2));
    Splitter1->setSizes({ancho, std::max(total - ancho - Splitter1->handleWidth(), 1)});
}

// --- Files ---

void TMainForm::AbrirProblema() {
    if (!guardia_->PuedeContinuar()) return;
    const std::optional<QString> nombre = dialogos_.NombreParaAbrir(this, kFiltroProblema, nombreAbrir_);
    if (!nombre) return;
    nombreAbrir_ = *nombre;
    CargarProblema(*nombre);
}

void TMainForm::CargarProblema(const QString& nombre) {
    MatrizProblema leido;
    LineasDeFichero fichero(RutaDeNombre(nombre));
    CargarLineas(leido, fichero);
    EmpezarProblema(std::move(leido), nombre, false);
}

void TMainForm::FijarFicheroProblema(const QString& nombre) {
    ficheroProblema_ = nombre;
    setWindowTitle(TituloVentana(nombre));
}

void TMainForm::GuardarProblema() { GuardarProblemaSegunBoton(); }

bool TMainForm::GuardarProblemaSegunBoton() {
    if (ficheroProblema_.isEmpty() || !MatrizCompleta()) return GuardarProblemaComo();
    EscribirProblema();
    return true;
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

bool TMainForm::GuardarProblemaComo() {
    const std::optional<QString> nombre =
        dialogos_.NombreParaGuardar(this, kFiltroProblema, QStringLiteral("brk"), nombreGuardarProblema_);
    if (!nombre) return false;
    FijarFicheroProblema(ConExtension(*nombre, QStringLiteral("brk")));
    nombreGuardarProblema_ = ficheroProblema_;
    EscribirProblema();
    return true;
}

void TMainForm::EscribirProblema() {
    EscribirLineasFichero(RutaDeNombre(ficheroProblema_), modelo_->Matriz().LineasProblema());
    edicion_->MarcarGuardado();
}

void TMainForm::GuardarSolucion() { GuardarSolucionSegunMenu(); }

bool TMainForm::GuardarSolucionSegunMenu() {
    ComprobarMemoriaEscritura(*Memo1);
    // Never onto the problem file, even if it was saved under the solution's name.
    if (ficheroSolucion_.isEmpty() || !resuelto_ || MismoFichero(ficheroSolucion_, ficheroProblema_))
        return PedirYGuardarSolucion();
    EscribirSolucion();
    return true;
}

void TMainForm::GuardarSolucionComo() { PedirYGuardarSolucion(); }

bool TMainForm::PedirYGuardarSolucion() {
    ComprobarMemoriaEscritura(*Memo1);
    const QString propuesto =
        NombreDeRuta(NombreSolucionPropuesto(RutaDeNombre(ficheroProblema_)));
    const std::optional<QString> nombre =
        dialogos_.NombreParaGuardar(this, kFiltroSolucion, QStringLiteral("sol"), propuesto);
    if (!nombre) return false;
    const QString elegido = ConExtension(*nombre, QStringLiteral("sol"));
    if (MismoFichero(elegido, ficheroProblema_))
        throw ErrorTavelorin(MensajeSolucionSobreProblema(ficheroProblema_).toStdString());
    ficheroSolucion_ = elegido;
    EscribirSolucion();
    return true;
}

void TMainForm::EscribirSolucion() {
    // Cancelled, the old file stays and the report is still unsaved.
    if (GuardarTextoMemo(this, RutaDeNombre(ficheroSolucion_), *Memo1, TareasLargasEnUso())) cambios_->FijarInforme(false);
}

// --- Random problem ---

void TMainForm::CrearProblemaAleatorio() {
    if (!guardia_->PuedeContinuar()) return;
    TFormAleatorio formulario(this);
    formulario.ComprobarAlAceptar(dialogos_, separador_);
    // The dialog stays until every field is right or the user cancels; nothing changes
    // before that.
    std::optional<ParametrosAleatorios> parametros;
    while (!parametros) {
        if (!dialogos_.MostrarModal(formulario)) return;
        parametros = formulario.Comprobar();
    }
    MatrizProblema generado;
    generador_.SembrarAleatorio();
    GenerarProblemaAleatorio(generado, *parametros, generador_);
    EmpezarProblema(std::move(generado), QString(), true);
}

// --- Enabling ---

bool TMainForm::MatrizCompleta() const { return Matriz->CompletaEnPantalla(); }

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
    if (!guardia_->PuedeContinuar()) return;
    EmpezarProblema(ProblemaVacio(), QString(), false);
}

void TMainForm::EmpezarProblema(MatrizProblema problema, const QString& fichero, bool modificado) {
    // The last solve goes first, so that nothing below draws it again.
    estado_ = EstadoSecuenciador();
    Memo1->Vaciar();
    EComp->setText(QStringLiteral("1"));
    edicion_->Empezar(std::move(problema), modificado);
    FijarFicheroProblema(fichero);
    ficheroSolucion_.clear();
    resuelto_ = false;
    ActualizarBotones();
    Graficos->BorrarSeriesVel();
    Graficos->BorrarSeriesTasas();
    Calidad->Olvidar();
    cambios_->FijarProblema(edicion_->Modificado());
    cambios_->FijarInforme(false);
    AjustarPanelMatriz();
}

void TMainForm::DimensionarProblema() {
    if (tavelorin::DimensionarProblema(dialogos_, this, *edicion_)) AjustarPanelMatriz();
}

std::vector<std::string> TMainForm::ProblemaDeMatriz() {
    const MatrizProblema& m = modelo_->Matriz();
    estado_.NProd = m.Filas() - 1;
    estado_.NComp = m.Columnas() - 2;
    return m.LineasProblema();
}

// --- Solve ---

void TMainForm::EjecutarResolucion() {
    resuelto_ = false;
    Calidad->Olvidar();
    const std::vector<std::string> problema = ProblemaDeMatriz();
    SecuenciarMostrandoLaCelda(problema);
    MostrarSolucion();
    cambios_->FijarInforme(false);
    Graficos->GraficoVelocidades();
    Graficos->GraficoTasas();  // empty while EComp holds no component of the table
    Calidad->NuevaSolucion(estado_, SecuenciaDeTabla(estado_.TablaSolucion));
    resuelto_ = true;
    ActualizarBotones();
}

void TMainForm::SecuenciarMostrandoLaCelda(const std::vector<std::string>& problema) {
    try {
        SecuenciarTabla(estado_, problema);
    } catch (const ErrorTavelorin& error) {
        // The cell whose text would not convert is selected; the error goes on to the
        // failure handler like any other.
        if (const std::optional<CeldaProblema>& celda = error.Celda()) {
            Matriz->SeleccionarRango({celda->campo, celda->producto, 1, 1});
            if (Matriz->isVisible()) Matriz->setFocus();
        }
        throw;
    }
}

void TMainForm::MostrarSolucion() {
    if (LineasGeneradas::Admite(separador_)) {
        // Lines produced from the table as the memo asks for them.
        std::shared_ptr<const LineasGeneradas> lineas = LineasParaMemo(estado_.TablaSolucion, separador_);
        Memo1->Vaciar();
        Memo1->MostrarInforme(std::move(lineas));
        return;
    }
    // A decimal separator of several characters: the whole text, taken line by line.
    ComprobarMemoria(MemoriaTextoInforme(estado_.NProd, estado_.NComp, estado_.Q));
    Solucion s = EscribirInforme(estado_.TablaSolucion, separador_);
    AnadirSolucion(s.informe, s.secuencia);
    Memo1->Vaciar();  // the old report goes first: the two are never held at once
    Memo1->ReemplazarLineas(std::move(s.informe));
}

// --- Window commands ---

void TMainForm::CopiarSolucion() { CopiarInforme(*Memo1); }

// The dialog starts from the face really drawn; leaving it as offered keeps the memo's font.
void TMainForm::ElegirFuente() {
    const QFont ofrecida = FuenteParaDialogo(Memo1->font(), Memo1->logicalDpiY());
    if (const auto elegida = dialogos_.ElegirFuente(this, ofrecida))
        if (const auto nueva = FuenteCambiada(ofrecida, *elegida)) Memo1->setFont(*nueva);
}

void TMainForm::ConfigurarImpresora() { dialogos_.ConfigurarImpresora(this, impresora_); }

void TMainForm::Salir() { close(); }

void TMainForm::ImprimirSolucion() {
    ComprobarMemoriaImpresion(*Memo1);
    tavelorin::ImprimirSolucion(this, impresora_, *Memo1, dialogos_);
}

void TMainForm::MostrarAcercaDe() { dialogos_.MostrarModal(*AboutBox); }

}  // namespace tavelorin
