#include "support/elf_file.h"

#include <gtest/gtest.h>

#include <elf.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace xk83t_test;

namespace {

const ElfFile& plugin()
{
    static const ElfFile elf = read_elf(XK83T_PLUGIN_PATH);
    return elf;
}

bool is_host_symbol(const std::string& name)
{
    for (const char* host : {"VDeviceInterface", "SMDVDevice", "SMDSPDevice", "SPModbus", "Provider",
                             "get_ttime"})
        if (name.find(host) != std::string::npos && name.find("XK83TProvider") == std::string::npos)
            return true;
    return false;
}

TEST(LibrarySymbols, ExportsOnlyTheEntryPoint)
{
    std::vector<std::string> defined;
    for (const auto& sym : plugin().dynamic_symbols)
        if (sym.defined && sym.global && !sym.name.empty())
            defined.push_back(sym.name);
    EXPECT_EQ(defined, std::vector<std::string>{"get_providers"});
}

TEST(LibrarySymbols, HostSymbolsStayUndefined)
{
    int host_refs = 0;
    for (const auto& sym : plugin().dynamic_symbols)
        if (is_host_symbol(sym.name)) {
            EXPECT_FALSE(sym.defined) << sym.name;
            ++host_refs;
        }
    EXPECT_GT(host_refs, 10);
    const auto& syms = plugin().dynamic_symbols;
    EXPECT_TRUE(std::any_of(syms.begin(), syms.end(), [](const ElfSymbol& s) {
        return s.name.find("SendSP") != std::string::npos && !s.defined;
    }));
}

TEST(LibrarySymbols, IsASharedObjectForThisMachine)
{
    EXPECT_EQ(plugin().type, ET_DYN);
    EXPECT_EQ(plugin().elf_class, sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32);
#if defined(__arm__)
    EXPECT_EQ(plugin().machine, EM_ARM);
#elif defined(__x86_64__)
    EXPECT_EQ(plugin().machine, EM_X86_64);
#endif
}

TEST(LibrarySymbols, NeedsOnlyItsDependenciesAndTheRuntime)
{
    // jsoncpp and yaml-cpp, the C and C++ runtime, and the dynamic loader
    // where the toolchain names it; Boost is used from headers only.
    std::vector<std::string> allowed = {"libjsoncpp", "libyaml-cpp", "libstdc++", "libm",
                                        "libgcc_s",   "libc",        "ld-linux"};
#if defined(XK83T_SANITIZED)
    allowed.insert(allowed.end(), {"libasan", "libubsan", "libtsan", "liblsan"});
#endif
    const auto& needed = plugin().needed;
    for (const auto& name : needed) {
        // ld-linux-x86-64.so.2, ld-linux-armhf.so.3: the loader's name carries the machine.
        std::string stem = name.substr(0, name.find(".so."));
        if (stem.rfind("ld-linux", 0) == 0)
            stem = "ld-linux";
        EXPECT_NE(std::find(allowed.begin(), allowed.end(), stem), allowed.end()) << name;
    }
    EXPECT_NE(std::find(needed.begin(), needed.end(), "libc.so.6"), needed.end());
    EXPECT_TRUE(std::any_of(needed.begin(), needed.end(),
                            [](const std::string& n) { return n.rfind("libjsoncpp.so.", 0) == 0; }));
}

}  // namespace
