// The set-up the end-to-end tests share: the real exe in a folder of its own, the recording
// helper beside it and a start folder for the helper's launches.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/E2EMain.hpp"
#include "support/KestrumProcess.hpp"
#include "support/TestSupport.hpp"

class KestrumFixture : public ::testing::Test {
protected:
    void SetUp() override {
        kestrum = std::make_unique<KestrumProcess>(KestrumExePath(), dir.Path());
        helper = dir.File(L"record_launch.exe");
        ASSERT_TRUE(::CopyFileW(RecordLaunchExePath().c_str(), helper.c_str(), FALSE));
        startFolder = dir.File(L"start here");
        ::CreateDirectoryW(startFolder.c_str(), nullptr);
    }
    void StartResident() {
        kestrum->Start();
        ASSERT_TRUE(kestrum->WaitResident());
    }

    TempDir dir;
    std::unique_ptr<KestrumProcess> kestrum;
    std::wstring helper, startFolder;
};
