#pragma once
// File downloads (the system's URLDownloadToFile) on the toolkit's network
// access: only http and https addresses; the file is written whole or not at all.
#include <cstdint>

#include "platform/core/Types.h"
#include "platform/gui/Messages.h"

// Result codes of the download (beyond S_OK and E_ABORT).
constexpr HRESULT INET_E_INVALID_URL = HRESULT(0x800C0002u), INET_E_NO_SESSION = HRESULT(0x800C0003u),
                  INET_E_CANNOT_CONNECT = HRESULT(0x800C0004u),
                  INET_E_RESOURCE_NOT_FOUND = HRESULT(0x800C0005u),
                  INET_E_OBJECT_NOT_FOUND = HRESULT(0x800C0006u),
                  INET_E_DATA_NOT_AVAILABLE = HRESULT(0x800C0007u),
                  INET_E_DOWNLOAD_FAILURE = HRESULT(0x800C0008u),
                  INET_E_CONNECTION_TIMEOUT = HRESULT(0x800C000Bu);

// Downloads URL (an http or https address, Windows-1250) into FileName and
// returns when done: S_OK when the whole answer was written; otherwise the
// file is left as it was (the answer goes to a temporary file in the same
// folder that replaces FileName only when complete). Failures:
// INET_E_INVALID_URL for another kind of address, INET_E_CANNOT_CONNECT when
// no server answers, INET_E_RESOURCE_NOT_FOUND for a 404 or 410,
// INET_E_DOWNLOAD_FAILURE for another error status or a broken transfer,
// INET_E_CONNECTION_TIMEOUT past the time limit, E_ABORT for an answer larger
// than the size limit, E_ACCESSDENIED when FileName cannot be written.
// Caller, Reserved and StatusCallback are not used (no progress is reported).
// The calling thread waits; its events are not handled meanwhile.
HRESULT URLDownloadToFile(void* Caller, const AnsiString& URL, const AnsiString& FileName, DWORD Reserved = 0,
                          void* StatusCallback = nullptr);
inline HRESULT URLDownloadToFileA(void* Caller, const AnsiString& URL, const AnsiString& FileName,
                                  DWORD Reserved = 0, void* StatusCallback = nullptr)
{
    return URLDownloadToFile(Caller, URL, FileName, Reserved, StatusCallback);
}

// The limits of every download: the whole transfer's time and the answer's size.
struct TDownloadLimits {
    unsigned TimeoutMs = 30000;
    std::int64_t MaxBytes = 16 * 1024 * 1024;
};
// Sets the limits; returns the old ones.
TDownloadLimits SetDownloadLimits(const TDownloadLimits& Limits);
TDownloadLimits DownloadLimits();
