// UTF-16 to UTF-8, shared by the test helpers and the updater stand-in.
#pragma once

#include <windows.h>

#include <string>

inline std::string Utf8(const std::wstring& text)
{
    if (text.empty()) {
        return std::string();
    }
    const int cb = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(cb), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], cb,
                        nullptr, nullptr);
    return out;
}
