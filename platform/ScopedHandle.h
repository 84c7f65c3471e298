// The one owner of a handle: closed once, by the function that closes its
// kind, when the owner goes, on every path. Closing keeps the caller's last
// error intact, so that a failure can still be reported after the handle is
// gone.
#pragma once

#include <windows.h>

template <BOOL(WINAPI* pfnClose)(HANDLE)>
class BasicScopedHandle {
public:
    // Takes hHandle as it comes from the API: null and INVALID_HANDLE_VALUE
    // both mean none, since the APIs disagree on which they return.
    explicit BasicScopedHandle(HANDLE hHandle) : m_hHandle(hHandle) {}
    ~BasicScopedHandle() { Close(); }
    BasicScopedHandle(const BasicScopedHandle&) = delete;
    BasicScopedHandle& operator=(const BasicScopedHandle&) = delete;

    // Closes the handle held, if any, and takes hHandle.
    void Reset(HANDLE hHandle)
    {
        Close();
        m_hHandle = hHandle;
    }

    HANDLE Get() const { return m_hHandle; }
    bool IsValid() const { return m_hHandle != nullptr && m_hHandle != INVALID_HANDLE_VALUE; }

private:
    void Close()
    {
        if (IsValid()) {
            const DWORD dwError = GetLastError();
            pfnClose(m_hHandle);
            SetLastError(dwError);
        }
        m_hHandle = nullptr;
    }

    HANDLE m_hHandle;
};

using ScopedHandle = BasicScopedHandle<CloseHandle>;    // a kernel object
using ScopedFindHandle = BasicScopedHandle<FindClose>;  // a file search
