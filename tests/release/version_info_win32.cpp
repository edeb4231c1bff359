// version-info EXE: prints what Windows shows in the file's properties, as
// the Details tab reads it (GetFileVersionInfo), one "key=value" line each,
// in UTF-8: the fixed file and product versions and the strings of the
// first translation.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string Utf8(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string result(size > 0 ? size - 1 : 0, '\0');
    if (size > 1) WideCharToMultiByte(CP_UTF8, 0, text, -1, &result[0], size, nullptr, nullptr);
    return result;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fputs("usage: version-info EXE\n", stderr);
        return 2;
    }
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(argv[1], &ignored);
    std::string block(size, '\0');
    if (size == 0 || !GetFileVersionInfoW(argv[1], 0, size, &block[0])) {
        std::puts("error=no version resource");
        return 1;
    }
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed) {
        std::printf("fixed-file=%u.%u.%u.%u\n", unsigned{HIWORD(fixed->dwFileVersionMS)},
                    unsigned{LOWORD(fixed->dwFileVersionMS)}, unsigned{HIWORD(fixed->dwFileVersionLS)},
                    unsigned{LOWORD(fixed->dwFileVersionLS)});
        std::printf("fixed-product=%u.%u.%u.%u\n", unsigned{HIWORD(fixed->dwProductVersionMS)},
                    unsigned{LOWORD(fixed->dwProductVersionMS)},
                    unsigned{HIWORD(fixed->dwProductVersionLS)},
                    unsigned{LOWORD(fixed->dwProductVersionLS)});
    }
    WORD* translation = nullptr;
    if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translation), &length) ||
        length < 4) {
        std::puts("error=no translation");
        return 1;
    }
    std::printf("translation=%04x%04x\n", translation[0], translation[1]);
    for (const wchar_t* key : {L"FileDescription", L"FileVersion", L"OriginalFilename",
                               L"ProductName", L"ProductVersion"}) {
        wchar_t path[128];
        swprintf(path, 128, L"\\StringFileInfo\\%04x%04x\\%ls", translation[0], translation[1], key);
        wchar_t* value = nullptr;
        if (VerQueryValueW(block.data(), path, reinterpret_cast<void**>(&value), &length) && value) {
            std::printf("%s=%s\n", Utf8(key).c_str(), Utf8(value).c_str());
        }
    }
    return 0;
}
