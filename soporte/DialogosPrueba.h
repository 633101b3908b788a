// Answers the program's dialogs in tests, and records what they were asked.
#pragma once

#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "ui/Dialogos.h"

// g++ 12 warns, wrongly, that a moved-from optional<QString> may be uninitialised.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

namespace tavelorin {

class DialogosPrueba : public Dialogos {
public:
    struct Pregunta {
        QString titulo, pregunta, porDefecto;
    };

    std::deque<std::optional<QString>> respuestas;  // nullopt answers Cancel
    std::vector<Pregunta> preguntas;
    std::vector<std::pair<QString, QString>> errores;  // caption, message
    std::vector<QString> explicaciones;                // the explanation shown with each error
    std::vector<std::pair<QString, QString>> informaciones;
    // Yes/no questions: the answers (an empty queue answers "No") and what was asked.
    std::deque<bool> confirmaciones;
    std::vector<QString> preguntasConfirmar;
    // The unsaved-changes question: the answers (an empty queue answers Cancelar) and
    // what was asked.
    std::deque<RespuestaCambios> respuestasCambios;
    std::vector<QString> preguntasCambios;
    std::optional<QFont> fuenteElegida;
    std::vector<QFont> fuentesOfrecidas;
    int configuraciones = 0;
    QPrinter* impresoraConfigurada = nullptr;
    int sinRespuesta = 0;  // questions asked with no answer queued

    struct PeticionFichero {
        bool guardar;
        QString filtro, extension, propuesto;
    };
    std::deque<std::optional<QString>> nombres;  // answers of the file dialogs; nullopt cancels
    std::vector<PeticionFichero> peticionesFichero;
    // Fills in a form shown modally and says whether it closed with OK.
    std::function<bool(QDialog&)> alMostrarFormulario;
    int formulariosMostrados = 0;

    std::optional<QString> PedirTexto(QWidget*, const QString& titulo, const QString& pregunta,
                                      const QString& porDefecto) override {
        preguntas.push_back({titulo, pregunta, porDefecto});
        if (respuestas.empty()) {
            ++sinRespuesta;
            return std::nullopt;
        }
        std::optional<QString> r = std::move(respuestas.front());
        respuestas.pop_front();
        return r;
    }
    void MostrarError(QWidget*, const QString& titulo, const QString& mensaje,
                      const QString& explicacion = QString()) override {
        errores.emplace_back(titulo, mensaje);
        explicaciones.push_back(explicacion);
    }
    void MostrarInformacion(QWidget*, const QString& titulo, const QString& mensaje) override {
        informaciones.emplace_back(titulo, mensaje);
    }
    bool Confirmar(QWidget*, const QString&, const QString& pregunta) override {
        preguntasConfirmar.push_back(pregunta);
        if (confirmaciones.empty()) {
            ++sinRespuesta;
            return false;
        }
        const bool r = confirmaciones.front();
        confirmaciones.pop_front();
        return r;
    }
    RespuestaCambios PreguntarCambios(QWidget*, const QString&, const QString& pregunta) override {
        preguntasCambios.push_back(pregunta);
        if (respuestasCambios.empty()) {
            ++sinRespuesta;
            return RespuestaCambios::Cancelar;
        }
        const RespuestaCambios r = respuestasCambios.front();
        respuestasCambios.pop_front();
        return r;
    }
    std::optional<QFont> ElegirFuente(QWidget*, const QFont& actual) override {
        fuentesOfrecidas.push_back(actual);
        return fuenteElegida;
    }
    void ConfigurarImpresora(QWidget*, QPrinter& impresora) override {
        ++configuraciones;
        impresoraConfigurada = &impresora;
    }

    std::optional<QString> NombreParaAbrir(QWidget*, const QString& filtro, const QString& propuesto) override {
        peticionesFichero.push_back({false, filtro, QString(), propuesto});
        return SiguienteNombre();
    }
    std::optional<QString> NombreParaGuardar(QWidget*, const QString& filtro, const QString& extension,
                                             const QString& propuesto) override {
        peticionesFichero.push_back({true, filtro, extension, propuesto});
        return SiguienteNombre();
    }
    bool MostrarModal(QDialog& formulario) override {
        ++formulariosMostrados;
        return alMostrarFormulario ? alMostrarFormulario(formulario) : false;
    }

    // The print dialog: confirmed or cancelled; when confirmed, alImprimir makes the
    // choices the user would (a PDF file, say).
    bool imprimirConfirma = false;
    int dialogosImprimir = 0;
    std::function<void(QPrinter&)> alImprimir;
    bool Ejecutar(QWidget*, QPrinter& impresora) override {
        ++dialogosImprimir;
        if (imprimirConfirma && alImprimir) alImprimir(impresora);
        return imprimirConfirma;
    }

    // The print preview: how often it was shown and, when a printer is given here, what
    // it draws on that printer (as printing from the preview would).
    int vistasPreliminares = 0;
    QPrinter* impresoraVistaPreliminar = nullptr;
    QPrinter* pintarVistaPreliminarEn = nullptr;
    void VistaPreliminar(QWidget*, QPrinter& impresora, const std::function<void(QPrinter&)>& pintar) override {
        ++vistasPreliminares;
        impresoraVistaPreliminar = &impresora;
        if (pintarVistaPreliminarEn != nullptr) pintar(*pintarVistaPreliminarEn);
    }

    QStringList Mensajes() const {
        QStringList r;
        for (const auto& e : errores) r << e.second;
        return r;
    }

private:
    std::optional<QString> SiguienteNombre() {
        if (nombres.empty()) {
            ++sinRespuesta;
            return std::nullopt;
        }
        std::optional<QString> r = std::move(nombres.front());
        nombres.pop_front();
        return r;
    }
};

}  // namespace tavelorin
