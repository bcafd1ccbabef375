#include "elf_file.h"

#include <elf.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace xk83t_test {
namespace {

template <typename T>
T at(const std::vector<char>& image, std::size_t offset)
{
    if (offset + sizeof(T) > image.size())
        throw std::runtime_error("ELF structure past the end of the file");
    T value;
    std::memcpy(&value, image.data() + offset, sizeof value);
    return value;
}

std::string c_string(const std::vector<char>& image, std::size_t offset)
{
    if (offset >= image.size())
        throw std::runtime_error("ELF string past the end of the file");
    return std::string(image.data() + offset, strnlen(image.data() + offset, image.size() - offset));
}

template <typename Ehdr, typename Shdr, typename Sym, typename Dyn, typename Info>
void read_tables(const std::vector<char>& image, ElfFile& elf, Info bind_of)
{
    const auto header = at<Ehdr>(image, 0);
    elf.machine = header.e_machine;
    elf.type = header.e_type;
    std::vector<Shdr> sections;
    for (unsigned i = 0; i < header.e_shnum; ++i)
        sections.push_back(at<Shdr>(image, header.e_shoff + i * sizeof(Shdr)));
    for (const Shdr& s : sections) {
        if (s.sh_type == SHT_DYNSYM) {
            const Shdr& strings = sections.at(s.sh_link);
            for (std::size_t off = sizeof(Sym); off + sizeof(Sym) <= s.sh_size; off += sizeof(Sym)) {
                const auto sym = at<Sym>(image, s.sh_offset + off);
                const int bind = bind_of(sym.st_info);
                elf.dynamic_symbols.push_back({c_string(image, strings.sh_offset + sym.st_name),
                                               sym.st_shndx != SHN_UNDEF,
                                               bind == STB_GLOBAL || bind == STB_WEAK});
            }
        } else if (s.sh_type == SHT_DYNAMIC) {
            const Shdr& strings = sections.at(s.sh_link);
            for (std::size_t off = 0; off + sizeof(Dyn) <= s.sh_size; off += sizeof(Dyn)) {
                const auto dyn = at<Dyn>(image, s.sh_offset + off);
                if (dyn.d_tag == DT_NULL)
                    break;
                if (dyn.d_tag == DT_NEEDED)
                    elf.needed.push_back(c_string(image, strings.sh_offset + dyn.d_un.d_val));
            }
        }
    }
}

}  // namespace

ElfFile read_elf(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot open " + path);
    const std::vector<char> image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (image.size() < EI_NIDENT || std::memcmp(image.data(), ELFMAG, SELFMAG) != 0)
        throw std::runtime_error(path + " is not an ELF file");
    ElfFile elf;
    elf.elf_class = image[EI_CLASS];
    if (elf.elf_class == ELFCLASS32)
        read_tables<Elf32_Ehdr, Elf32_Shdr, Elf32_Sym, Elf32_Dyn>(
            image, elf, [](unsigned char info) { return ELF32_ST_BIND(info); });
    else if (elf.elf_class == ELFCLASS64)
        read_tables<Elf64_Ehdr, Elf64_Shdr, Elf64_Sym, Elf64_Dyn>(
            image, elf, [](unsigned char info) { return ELF64_ST_BIND(info); });
    else
        throw std::runtime_error(path + ": unknown ELF class");
    return elf;
}

}  // namespace xk83t_test
