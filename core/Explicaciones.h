// Spanish explanations of the messages the program shows. The message keeps its exact
// text; the explanation, shown below it, says what is wrong and, where the place that
// raised the error knew it, where (ErrorTavelorin::Explicacion).
#pragma once

#include <exception>
#include <string>

namespace tavelorin {

// The general explanation of a message a user can provoke (integer and real texts, missing
// lines, negative counts, memory, the grid's size, files, printing); empty for any other
// message, such as the program's own Spanish ones, which explain themselves.
std::string ExplicacionGeneral(const std::string& mensaje);

// The explanation to show for an error: the one its raise site gave, else the general one
// of its message. A std::bad_alloc is explained as "Out of memory".
std::string ExplicacionDe(const std::exception& error);
std::string ExplicacionDe(std::exception_ptr error);

// What a file error (an errno value) means for the user, when a file was to be opened for
// reading (crear false) or created or replaced (crear true); the general explanation of
// the message when the value is not one a user can act on.
std::string ExplicacionFichero(bool crear, int error);

}  // namespace tavelorin
