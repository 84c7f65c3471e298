// UTF-16 to a code page's bytes (UTF-8, or the ANSI one the profile writer
// uses), shared by the test helpers and the updater stand-in.
#pragma once

#include <windows.h>

#include <string>

inline std::string Narrow(const std::wstring& text, UINT code_page)
{
    if (text.empty()) {
        return std::string();
    }
    const int cb = WideCharToMultiByte(code_page, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(cb), '\0');
    WideCharToMultiByte(code_page, 0, text.data(), static_cast<int>(text.size()), &out[0], cb,
                        nullptr, nullptr);
    return out;
}

inline std::string Utf8(const std::wstring& text)
{
    return Narrow(text, CP_UTF8);
}
