// The main window: menu bar, tool bar, the grid and the report memo, the chart pages,
// and the commands that work on them.
//
// Its public face is the commands (what the menu items and tool buttons run) and the
// state they leave, read-only. Its controls are private; each has the name the window
// description gives it as its objectName, which is how tests reach them.
#pragma once

#include <QMainWindow>
#include <QPrinter>
#include <QStringList>
#include <string>
#include <vector>

#include "core/Aleatorio.h"
#include "core/Problema.h"
#include "core/Secuenciador.h"

class QAction;
class QFrame;
class QLineEdit;
class QSplitter;
class QTabWidget;

namespace tavelorin {

class CambiosPendientes;
class Dialogos;
class EdicionMatriz;
class GraficosConsumo;
class GuardiaCambios;
class MatrizProblema;
class MemoInforme;
class PaginaCalidad;
class TAboutBox;
class ModeloMatriz;
class VistaMatriz;

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    // argumentos: the command line without the program name.
    TMainForm(Dialogos& dialogos, const QStringList& argumentos, QWidget* padre = nullptr);
    ~TMainForm() override;

    // --- Commands ---
    void NuevoProblema();
    void DimensionarProblema();
    void EjecutarResolucion();
    void CopiarSolucion();
    void ElegirFuente();
    void ConfigurarImpresora();
    void Salir();
    void ImprimirSolucion();
    void MostrarAcercaDe();

    // Printing to a file and the charts (MainEscritorio.cpp).
    void VistaPreliminar();
    void ExportarPdf();
    // The chart page showing: to a PNG, SVG or PDF file, or to the clipboard as an image;
    // its whole extent again after a zoom.
    void ExportarGrafico();
    void CopiarGrafico();
    void VistaCompleta();

    // Problem and solution files.
    void AbrirProblema();
    void GuardarProblema();
    void ArchivoGrabarProblemaClick();
    void ArchivoGrabarProblemaComoClick();
    void GuardarSolucion();
    void GuardarSolucionComo();

    // Random problem.
    void CrearProblemaAleatorio();

    // --- State, read-only ---
    bool Resuelto() const { return resuelto_; }
    // The problem file the grid was last read from or written to; empty after New and
    // after a random problem. A file that failed to load never becomes it.
    const QString& FicheroProblema() const { return ficheroProblema_; }
    // The file the solution was last written to; forgotten whenever another problem
    // takes the grid's place (New, Open, a random problem).
    const QString& FicheroSolucion() const { return ficheroSolucion_; }
    // Whether the problem and the report hold changes that no file has.
    const CambiosPendientes& Cambios() const { return *cambios_; }
    // The sequencing state of the last solve.
    const EstadoSecuenciador& Estado() const { return estado_; }
    const GeneradorAleatorio& Generador() const { return generador_; }
    const std::string& SeparadorDecimal() const { return separador_; }
    const QPrinter& Impresora() const { return impresora_; }
    // Whether every data cell holds a text, as the grid shows it (the text being typed
    // into a cell counts).
    bool MatrizCompleta() const;

protected:
    void changeEvent(QEvent* evento) override;
    void showEvent(QShowEvent* evento) override;
    // Closing (Salir, the close box) first asks about unsaved changes.
    void closeEvent(QCloseEvent* evento) override;

private:
    using Comando = void (TMainForm::*)();

    // Construction (MainConstruccion.cpp).
    void CrearAcciones();
    void CrearMenus();
    void CrearBarra();
    void CrearPaginas();
    void CrearGuardia();
    // MainEscritorio.cpp: the items added for the desktop, the shortcuts, the order of
    // the Tab key and the names screen readers announce.
    void CrearAccionesEscritorio();
    void AsignarAtajos();
    void OrdenarTabulacion();
    void NombrarParaAccesibilidad();
    void ActualizarAccionesGrafico();
    // The frame of the chart page showing (chart and legend); null on the data page.
    QWidget* GraficoVisible() const;
    // Connects an action to a command run under the failure handler.
    void Conectar(QAction* accion, Comando comando);
    // Runs a command under the failure handler, after committing the cell being edited:
    // what the grid shows is what every command reads.
    void Ejecutar(Comando comando);
    // Gives the grid's panel the width of all its columns, up to half of the window.
    void AjustarPanelMatriz();

    void FormCreate(const QStringList& argumentos);
    void LeerSeparadorDecimal();
    // A problem in the grid's place: the memo, the charts, the last solve and the
    // solution file forgotten, the problem file and the modified flag as given.
    void EmpezarProblema(MatrizProblema problema, const QString& fichero, bool modificado);
    // Reads and checks the whole file first; only a file that loads replaces the problem.
    void CargarProblema(const QString& nombre);
    void FijarFicheroProblema(const QString& nombre);
    // The saving flows; true when the file was written, false when a dialog was
    // cancelled; a failed write or a refused name throws.
    bool GuardarProblemaSegunBoton();
    bool GuardarProblemaComo();
    void EscribirProblema();
    bool GuardarSolucionSegunMenu();
    bool PedirYGuardarSolucion();
    void EscribirSolucion();
    void ActualizarBotones();
    void ArchivoMenuClick();
    // Resolver and Guardar follow the grid: on every paint, every change of its cells and
    // every key typed into a cell.
    void MatrizDrawCell();
    std::vector<std::string> ProblemaDeMatriz();
    // SecuenciarTabla; when it fails on a cell's text, that cell is selected in the grid.
    void SecuenciarMostrandoLaCelda(const std::vector<std::string>& problema);
    void MostrarSolucion();

    Dialogos& dialogos_;
    CambiosPendientes* cambios_ = nullptr;
    GuardiaCambios* guardia_ = nullptr;

    // --- State ---
    bool resuelto_ = false;
    QString ficheroProblema_;
    QString ficheroSolucion_;
    EstadoSecuenciador estado_;
    GeneradorAleatorio generador_;
    ModeloMatriz* modelo_ = nullptr;
    EdicionMatriz* edicion_ = nullptr;  // the grid's undo steps
    bool panelAjustado_ = false;         // at the first showing
    QPrinter impresora_{QPrinter::HighResolution};
    std::string separador_ = ".";
    // The names each file dialog proposes next (the last chosen in it).
    QString nombreAbrir_;
    QString nombreGuardarProblema_;

    // --- Controls the commands use, under their names ---
    QAction* TBNuevo = nullptr;
    QAction* ToolButton3 = nullptr;
    QAction* TBGuardar = nullptr;
    QAction* TBImprimir = nullptr;
    QAction* TBItems = nullptr;
    QAction* TBResolver = nullptr;
    QAction* TBCopiar = nullptr;
    QAction* TBSalir = nullptr;
    QAction* ArchivoNuevo = nullptr;
    QAction* Items1 = nullptr;
    QAction* ArchivoAbrir = nullptr;
    QAction* Crearproblemaaleatorio1 = nullptr;
    QAction* ArchivoGrabarProblema = nullptr;
    QAction* ArchivoGrabarProblemaComo = nullptr;
    QAction* ArchivoGrabarSolucion = nullptr;
    QAction* ArchivoGrabarSolucionComo = nullptr;
    QAction* ArchivoImprimir = nullptr;
    QAction* ArchivoConfigurarImpresora = nullptr;
    QAction* ArchivoSalir = nullptr;
    QAction* Copiar1 = nullptr;
    QAction* Fuente1 = nullptr;
    QAction* ResolverProblema = nullptr;
    QAction* AyudaAcerdaDe = nullptr;
    QAction* ArchivoVistaPreliminar = nullptr;
    QAction* ArchivoExportarPdf = nullptr;
    QAction* ArchivoExportarGrafico = nullptr;
    QAction* EdicionCopiarGrafico = nullptr;
    QAction* EdicionVistaCompleta = nullptr;
    QSplitter* Splitter1 = nullptr;
    QFrame* Panel1 = nullptr;
    VistaMatriz* Matriz = nullptr;
    MemoInforme* Memo1 = nullptr;
    QLineEdit* EComp = nullptr;
    QTabWidget* PageControl1 = nullptr;
    GraficosConsumo* Graficos = nullptr;  // both consumption charts and their selector
    PaginaCalidad* Calidad = nullptr;     // the page "Calidad de la secuencia"
    TAboutBox* AboutBox = nullptr;
};

}  // namespace tavelorin
