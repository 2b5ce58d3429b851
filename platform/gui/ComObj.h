#pragma once
// The framework's OLE error classes: what a failing COM object (the web
// browser control) raises, with the failure's result code.
#include "platform/core/SysUtils.h"
#include "platform/gui/Messages.h"

VELMAROK_EXCEPTION(EOleError, Exception)

// A failure reported by the system as a result code.
class EOleSysError : public EOleError {
public:
    explicit EOleSysError(AnsiString Message, HRESULT ErrorCode = E_FAIL)
        : EOleError(std::move(Message)), FErrorCode(ErrorCode) {}
    HRESULT ErrorCode() const { return FErrorCode; }

private:
    HRESULT FErrorCode;
};

// A failure reported by the object itself, with its source (the object's name).
class EOleException : public EOleSysError {
public:
    explicit EOleException(AnsiString Message, HRESULT ErrorCode = E_FAIL, AnsiString Source = AnsiString())
        : EOleSysError(std::move(Message), ErrorCode), FSource(std::move(Source)) {}
    const AnsiString& Source() const { return FSource; }

private:
    AnsiString FSource;
};
