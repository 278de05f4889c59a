// The size of Pallimo.exe and the DLLs it imports, read from its PE import
// table, with the number of functions taken from each. Prints figures.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "harness.h"

namespace {

constexpr std::size_t kNowhere = static_cast<std::size_t>(-1);

class PeFile {
  public:
    explicit PeFile(std::vector<char> bytes) : bytes_(std::move(bytes)) {}

    bool Valid() const { return Nt() != nullptr; }

    const IMAGE_NT_HEADERS32* Nt() const {
        const auto* dos = At<IMAGE_DOS_HEADER>(0);
        if (dos == nullptr || dos->e_magic != IMAGE_DOS_SIGNATURE) return nullptr;
        const auto* nt = At<IMAGE_NT_HEADERS32>(static_cast<std::size_t>(dos->e_lfanew));
        if (nt == nullptr || nt->Signature != IMAGE_NT_SIGNATURE ||
            nt->OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR32_MAGIC)
            return nullptr;
        return nt;
    }

    // The file offset of a relative virtual address, or kNowhere when no section holds it.
    std::size_t Offset(DWORD rva) const {
        const IMAGE_NT_HEADERS32* nt = Nt();
        const auto* sections = reinterpret_cast<const IMAGE_SECTION_HEADER*>(
            reinterpret_cast<const char*>(&nt->OptionalHeader) +
            nt->FileHeader.SizeOfOptionalHeader);
        for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
            const IMAGE_SECTION_HEADER& s = sections[i];
            const DWORD size =
                s.Misc.VirtualSize > s.SizeOfRawData ? s.Misc.VirtualSize : s.SizeOfRawData;
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + size)
                return rva - s.VirtualAddress + s.PointerToRawData;
        }
        return kNowhere;
    }

    template <typename T>
    const T* At(std::size_t offset) const {
        if (offset > bytes_.size() || sizeof(T) > bytes_.size() - offset) return nullptr;
        return reinterpret_cast<const T*>(bytes_.data() + offset);
    }

    std::string StringAt(std::size_t offset) const {
        std::string s;
        while (offset < bytes_.size() && bytes_[offset] != '\0') s += bytes_[offset++];
        return s;
    }

    std::size_t Size() const { return bytes_.size(); }

  private:
    std::vector<char> bytes_;
};

}  // namespace

int wmain() {
    const std::wstring path = e2e::PallimoExe();
    std::ifstream in(path.c_str(), std::ios::binary);
    PeFile pe{
        std::vector<char>{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()}};
    if (!pe.Valid()) {
        std::printf("Pallimo.exe is not a 32-bit PE file\n");
        return 1;
    }
    const IMAGE_NT_HEADERS32* nt = pe.Nt();
    std::printf("Pallimo.exe: %u bytes (%.1f KB), subsystem %u, OS version %u.%u\n",
                static_cast<unsigned>(pe.Size()), static_cast<double>(pe.Size()) / 1024.0,
                nt->OptionalHeader.Subsystem, nt->OptionalHeader.MajorOperatingSystemVersion,
                nt->OptionalHeader.MinorOperatingSystemVersion);

    const IMAGE_DATA_DIRECTORY& dir =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    std::size_t offset = pe.Offset(dir.VirtualAddress);
    int dlls = 0, functions = 0;
    for (const IMAGE_IMPORT_DESCRIPTOR* d;
         (d = pe.At<IMAGE_IMPORT_DESCRIPTOR>(offset)) != nullptr && d->Name != 0;
         offset += sizeof *d) {
        int count = 0;
        const DWORD thunks = d->OriginalFirstThunk != 0 ? d->OriginalFirstThunk : d->FirstThunk;
        std::size_t t = pe.Offset(thunks);
        for (const DWORD* entry; (entry = pe.At<DWORD>(t)) != nullptr && *entry != 0;
             t += sizeof *entry)
            ++count;
        std::printf("  imports %-16s %3d functions\n", pe.StringAt(pe.Offset(d->Name)).c_str(),
                    count);
        ++dlls;
        functions += count;
    }
    std::printf("Pallimo.exe imports %d functions from %d DLLs\n", functions, dlls);
    return 0;
}
