#include "browser/bridge/page_bridge_script.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(PageBridgeScriptTest, IsTheNineteenLinesByteForByte) {
  // Tabs of indentation and text of each line; joined by line feeds.
  const struct {
    int tabs;
    const char* text;
  } kLines[] = {
      {0, ""},
      {2, "var KelCefWebInstance = {};"},
      {2, "(() => {"},
      {3, "KelCefWebInstance.call = (functionName, arg1, arg2) => {"},
      {4, "if (typeof arg1 === 'function') {"},
      {5, "native function call(functionName, arg1);"},
      {5, "return call(functionName, arg1);"},
      {4, "} else {"},
      {5, "const jsonString = JSON.stringify(arg1);"},
      {5, "native function call(functionName, jsonString, arg2);"},
      {5, "return call(functionName, jsonString, arg2);"},
      {4, "}"},
      {3, "};"},
      {3, "KelCefWebInstance.register = (functionName, callback) => {"},
      {4, "native function register(functionName, callback);"},
      {4, "return register(functionName, callback);"},
      {3, "};"},
      {2, "})();"},
      {1, ""},
  };
  std::string expected;
  for (const auto& line : kLines) {
    if (&line != &kLines[0])
      expected += '\n';
    expected += std::string(static_cast<size_t>(line.tabs), '\t') + line.text;
  }
  EXPECT_EQ(kel_comp::PageBridgeScript(), expected);
  EXPECT_EQ(kel_comp::PageBridgeScript().size(), 581u);
  EXPECT_EQ(kel_comp::PageBridgeScript().find('\0'), std::string::npos);
}

}  // namespace
