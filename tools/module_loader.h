// Loads the lorvane module at run time and binds its exports by name, the
// way a host program does, so that callers exercise the real module boundary.
#pragma once

#include <cstdlib>
#include <string>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

namespace lorvane::tools {

#if defined(_WIN32)
inline constexpr const char* moduleFileName = "lorvane.dll";
#else
inline constexpr const char* moduleFileName = "liblorvane.so";
#endif

// Directory of the running executable, with a trailing separator, or "" if
// it cannot be determined.
inline std::string executableDirectory() {
#if defined(_WIN32)
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n == MAX_PATH) return {};
    std::string s(path, n);
    const auto cut = s.find_last_of("\\/");
#else
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path);
    if (n <= 0 || static_cast<size_t>(n) == sizeof path) return {};
    std::string s(path, static_cast<size_t>(n));
    const auto cut = s.find_last_of('/');
#endif
    return cut == std::string::npos ? std::string{} : s.substr(0, cut + 1);
}

class Module {
public:
    Module() = default;
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;
    ~Module() { close(); }

    // Opens the module from an explicit path.
    bool open(const std::string& path) {
        close();
#if defined(_WIN32)
        handle_ = LoadLibraryA(path.c_str());
#else
        handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
#endif
        path_ = path;
        return handle_ != nullptr;
    }

    // Opens the module the way the command-line tool looks for it: the path
    // in LORVANE_LIBRARY if set, else next to the executable, else by plain
    // name through the system's library search.
    bool openDefault() {
        if (const char* env = std::getenv("LORVANE_LIBRARY"); env && *env) return open(env);
        if (const std::string dir = executableDirectory(); !dir.empty() && open(dir + moduleFileName))
            return true;
        return open(moduleFileName);
    }

    void close() {
        if (!handle_) return;
#if defined(_WIN32)
        FreeLibrary(static_cast<HMODULE>(handle_));
#else
        dlclose(handle_);
#endif
        handle_ = nullptr;
    }

    void* symbol(const char* name) const {
        if (!handle_) return nullptr;
#if defined(_WIN32)
        return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
#else
        return dlsym(handle_, name);
#endif
    }

    template <class Fn>
    Fn bind(const char* name) const {
        return reinterpret_cast<Fn>(symbol(name));
    }

    const std::string& path() const { return path_; }

    static std::string lastError() {
#if defined(_WIN32)
        return "error " + std::to_string(GetLastError());
#else
        const char* e = dlerror();
        return e ? e : "unknown error";
#endif
    }

private:
    void* handle_ = nullptr;
    std::string path_;
};

}  // namespace lorvane::tools
