#include "browser/bridge/page_bridge_script.h"

namespace kel_comp {

namespace {

constexpr char kScript[] =
    "\n"
    "\t\tvar KelCefWebInstance = {};\n"
    "\t\t(() => {\n"
    "\t\t\tKelCefWebInstance.call = (functionName, arg1, arg2) => {\n"
    "\t\t\t\tif (typeof arg1 === 'function') {\n"
    "\t\t\t\t\tnative function call(functionName, arg1);\n"
    "\t\t\t\t\treturn call(functionName, arg1);\n"
    "\t\t\t\t} else {\n"
    "\t\t\t\t\tconst jsonString = JSON.stringify(arg1);\n"
    "\t\t\t\t\tnative function call(functionName, jsonString, arg2);\n"
    "\t\t\t\t\treturn call(functionName, jsonString, arg2);\n"
    "\t\t\t\t}\n"
    "\t\t\t};\n"
    "\t\t\tKelCefWebInstance.register = (functionName, callback) => {\n"
    "\t\t\t\tnative function register(functionName, callback);\n"
    "\t\t\t\treturn register(functionName, callback);\n"
    "\t\t\t};\n"
    "\t\t})();\n"
    "\t";

}  // namespace

std::string_view PageBridgeScript() {
  return std::string_view(kScript, sizeof(kScript) - 1);
}

}  // namespace kel_comp
