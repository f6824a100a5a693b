// The window tests' entry point: the common controls TallowEdit uses (tab
// strip, status bar, up-down fields) are registered before any test makes one.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <cstdio>

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_UPDOWN_CLASS;
    if (!InitCommonControlsEx(&controls)) {
        std::fprintf(stderr, "ide_gui_tests: the common controls could not be registered\n");
        return 1;
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
