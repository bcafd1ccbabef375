#pragma once

// Just enough of an ELF reader to check what a shared library exports,
// imports and needs; reads 32- and 64-bit little-endian files.

#include <string>
#include <vector>

namespace xk83t_test {

struct ElfSymbol {
    std::string name;
    bool defined;
    bool global;  // global or weak binding
};

struct ElfFile {
    int elf_class = 0;  // 1 = 32-bit, 2 = 64-bit
    int machine = 0;    // e_machine
    int type = 0;       // e_type
    std::vector<ElfSymbol> dynamic_symbols;
    std::vector<std::string> needed;
};

// Throws std::runtime_error when the file cannot be read as ELF.
ElfFile read_elf(const std::string& path);

}  // namespace xk83t_test
