// The plug-in loaded once per test program exactly as a host loads it, from the
// test program's directory, and an RAII instance on top of it.
#pragma once

#include "PluginLibrary.h"

namespace testing_support {

using Plugin = tools::PluginLibrary;
using tools::besideProgram;

const Plugin& plugin();

// One plug-in instance for the length of a scope.
class Instance {
public:
    explicit Instance(const wchar_t* exePath = L"");
    ~Instance();
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    PlayerInstance* get() const { return instance_; }
    operator PlayerInstance*() const { return instance_; }

private:
    PlayerInstance* instance_;
};

} // namespace testing_support
