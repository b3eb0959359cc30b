#include "runtime/EventGuard.h"

#include <new>

#include "runtime/EndProgram.h"
#include "runtime/MsgBox.h"
#include "runtime/TextConv.h"

std::wstring UnhandledFailureText(long number, const std::wstring& description) {
    return L"Run-time error '" + std::to_wstring(number) + L"':\n\n" + description;
}

void ReportUnhandledFailure(long number, const std::wstring& description) {
    MsgBox(UnhandledFailureText(number, description), MsgButtons::Ok, MsgIcon::Critical);
    EndProgram();
}

void ReportUnhandledException(std::exception_ptr failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const AppError& e) {
        ReportUnhandledFailure(e.Number(), e.Description());
    } catch (const std::bad_alloc&) {
        ReportUnhandledFailure(7, L"Out of memory");
    } catch (const std::exception& e) {
        ReportUnhandledFailure(5, Widen(e.what()));
    }
    EndProgram();
}
