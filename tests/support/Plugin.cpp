#include "Plugin.h"

#include <cstdio>

namespace testing_support {

const Plugin& plugin() {
    static const Plugin loaded = [] {
        Plugin p;
        std::wstring error;
        if (!tools::loadPlugin(besideProgram(L"player.dll"), p, error)) {
            // Nothing can be tested without the library; say so once and stop.
            fwprintf(stderr, L"%ls\n", error.c_str());
            ExitProcess(3);
        }
        return p;
    }();
    return loaded;
}

Instance::Instance(const wchar_t* exePath) : instance_(plugin().InitPlayer(exePath)) {}

Instance::~Instance() {
    plugin().DestroyPlayer(instance_);
}

} // namespace testing_support
