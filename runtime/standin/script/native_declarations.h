#pragma once

#include <string>
#include <vector>

// The runtime's rule for extension code: a statement
//   native function NAME(PARAMETERS);
// declares a function NAME that the extension's handler implements. The
// engine knows no such statement, so each one is rewritten, on the same
// line, into an ordinary function declaration (hoisted like one) whose
// body calls `holder["NAME"]` with the same receiver and arguments.
// Declarations are found outside string literals and comments.
namespace cef_standin::script {

struct TranslatedExtension {
  std::wstring code;
  std::vector<std::wstring> native_names;  // in order of first appearance
};

TranslatedExtension TranslateNativeDeclarations(const std::wstring& code,
                                                const std::wstring& holder);

}  // namespace cef_standin::script
