/* A small program for the demo prefix: it says who it is and ends. Its
 * name, version and icon come from its resources. */
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR line, int show) {
    (void)previous;
    (void)line;
    (void)show;
    wchar_t title[256];
    if (LoadStringW(instance, 1, title, 256) <= 0) {
        lstrcpyW(title, L"Demo application");
    }
    MessageBoxW(NULL, L"This program was installed by the demo prefix of Clearvane.", title,
                MB_ICONINFORMATION);
    return 0;
}
