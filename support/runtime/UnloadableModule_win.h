#pragma once
// Our DLLs carry the C++ runtime statically. Its exception handling sets
// aside an emergency arena (some 70 KB) from the C runtime's heap when the
// DLL is loaded and never gives it back; a host that loads and unloads the
// DLL once per session (a TWAIN manager does so with the data source, and
// the source with its support and imaging libraries) would lose one arena
// per session. Each such DLL calls this from DllMain when it is unloaded,
// not at process exit. The static destructors that run after it throw
// nothing, so the arena is not needed again.
namespace __gnu_cxx {
void __freeres() noexcept;
}

inline void releaseStaticRuntimeOnUnload()
{
    __gnu_cxx::__freeres();
}
