// An empty library named MSO.DLL: loaded into a test, it makes the process
// look like an Office host to the data source, which lays out its grey and
// line-art bitmaps for Office then.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
