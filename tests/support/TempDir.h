// A GoogleTest fixture with a fresh folder under /tmp for each test, removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace fixture {

class TempDirTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char name[] = "/tmp/veld-test-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir_ = name;
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::filesystem::path dir_;
};

}  // namespace fixture
