#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "temp_dir.h"

namespace vextune::testing {

/// A test with a fresh folder (`dir_`) per test case.
class TempDirTest : public ::testing::Test {
 protected:
  std::string Path(std::string_view name) const { return temp_.Path(name); }

  TempDir temp_;
  const std::filesystem::path& dir_ = temp_.path();
};

}  // namespace vextune::testing
