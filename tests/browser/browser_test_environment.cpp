#include <gtest/gtest.h>

#include "browser/manager/cef_manager.h"

namespace {

// As at start-up: the runtime folder goes on the search path before the
// first runtime call.
class RuntimeFolderOnPath : public ::testing::Environment {
 public:
  void SetUp() override { kel_comp::CefManager::GetInstance()->AddRuntimeFolderToPath(); }
};

[[maybe_unused]] ::testing::Environment* const g_environment =
    ::testing::AddGlobalTestEnvironment(new RuntimeFolderOnPath);

}  // namespace
