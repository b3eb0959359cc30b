#include "runtime/Sync.h"

#include <memory>
#include <system_error>
#include <utility>

namespace {

DWORD WINAPI RunBody(void* parameter) {
    std::unique_ptr<std::function<void()>> body(static_cast<std::function<void()>*>(parameter));
    (*body)();
    return 0;
}

}  // namespace

Thread::Thread(std::function<void()> body) {
    auto owned = std::make_unique<std::function<void()>>(std::move(body));
    handle_.Reset(CreateThread(nullptr, 0, RunBody, owned.get(), 0, nullptr));
    if (!handle_)
        throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), "CreateThread");
    static_cast<void>(owned.release());  // the thread owns it now
}

Thread& Thread::operator=(Thread&& other) noexcept {
    if (this != &other) {
        Join();
        handle_ = std::move(other.handle_);
    }
    return *this;
}

bool Thread::WaitFor(DWORD timeoutMs) const {
    return !handle_ || WaitForSingleObject(handle_.Get(), timeoutMs) == WAIT_OBJECT_0;
}

void Thread::Join() {
    if (!handle_)
        return;
    WaitForSingleObject(handle_.Get(), INFINITE);
    handle_.Reset();
}
