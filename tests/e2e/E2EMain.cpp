#include <gtest/gtest.h>

#include <cstdio>

#include "support/E2EMain.hpp"
#include "support/TestSupport.hpp"

namespace {
std::wstring g_kestrum, g_recordLaunch;
}

const std::wstring& KestrumExePath() { return g_kestrum; }
const std::wstring& RecordLaunchExePath() { return g_recordLaunch; }

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <Kestrum.exe> <record_launch.exe>\n", argv[0]);
        return 2;
    }
    g_kestrum = WindowsPath(argv[1]);
    g_recordLaunch = WindowsPath(argv[2]);
    return RUN_ALL_TESTS();
}
