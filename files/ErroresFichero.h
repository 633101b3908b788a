// The errors of opening and creating files, as the user sees them: the full path and the
// system's reason, always in English.
#pragma once

#include <string>

namespace tavelorin {

// Throws ErrorTavelorin 'Cannot open file "<full path>". <reason>'.
[[noreturn]] void LanzarErrorAlAbrir(const std::string& nombre, int error);

// Throws ErrorTavelorin 'Cannot create file "<full path>". <reason>'.
[[noreturn]] void LanzarErrorAlCrear(const std::string& nombre, int error);

}  // namespace tavelorin
