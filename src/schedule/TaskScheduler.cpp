#include "schedule/TaskScheduler.h"

#include <windows.h>
#include <taskschd.h>

#include <cwchar>

#include "runtime/AppError.h"
#include "runtime/Com.h"

namespace {

constexpr wchar_t Source[] = L"Task Scheduler";

// The system's text for the failure, or its number where the system has none (Wine
// lacks the Task Scheduler's own texts).
std::wstring Describe(HRESULT hr) {
    std::wstring text = SystemErrorText(static_cast<unsigned long>(hr));
    wchar_t number[16];
    swprintf(number, 16, L"0x%08lX", static_cast<unsigned long>(hr));
    if (text == L"Error " + std::to_wstring(static_cast<unsigned long>(hr)))
        return std::wstring(L"error ") + number;
    return text + L" (" + number + L")";
}

void Check(HRESULT hr) {
    if (FAILED(hr))
        throw AppError(hr, Source, Describe(hr));
}

bool IsNotFound(HRESULT hr) {
    return hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) || hr == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
}

// The service's root folder, with COM held for as long as the folder is used.
class RootFolder {
public:
    RootFolder() {
        if (!com_.Ok())
            throw AppError(RPC_E_CHANGED_MODE, Source, Describe(RPC_E_CHANGED_MODE));
        Check(CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(service_.Receive())));
        VARIANT none{};
        Check(service_->Connect(none, none, none, none));
        Bstr root(L"\\");
        Check(service_->GetFolder(root.Get(), folder_.Receive()));
    }
    ITaskFolder* operator->() const { return folder_.Get(); }

private:
    ComInit com_;
    ComPtr<ITaskService> service_;
    ComPtr<ITaskFolder> folder_;
};

void ReadFirstAction(ITaskDefinition& definition, ScheduledTask& task) {
    ComPtr<IActionCollection> actions;
    long count = 0;
    if (FAILED(definition.get_Actions(actions.Receive())) || FAILED(actions->get_Count(&count)) || count < 1)
        return;
    ComPtr<IAction> action;
    ComPtr<IExecAction> exec;
    if (FAILED(actions->get_Item(1, action.Receive())) || FAILED(action->QueryInterface(IID_PPV_ARGS(exec.Receive()))))
        return;
    Bstr path, arguments;
    if (SUCCEEDED(exec->get_Path(path.Receive())))
        task.command = path.Text();
    if (SUCCEEDED(exec->get_Arguments(arguments.Receive())))
        task.arguments = arguments.Text();
}

void ReadFirstTrigger(ITaskDefinition& definition, ScheduledTask& task) {
    ComPtr<ITriggerCollection> triggers;
    long count = 0;
    if (FAILED(definition.get_Triggers(triggers.Receive())) || FAILED(triggers->get_Count(&count)) || count < 1)
        return;
    ComPtr<ITrigger> trigger;
    Bstr start;
    if (SUCCEEDED(triggers->get_Item(1, trigger.Receive())) && SUCCEEDED(trigger->get_StartBoundary(start.Receive())))
        task.start = start.Text();
}

}  // namespace

void RegisterTask(const std::wstring& name, const std::wstring& xml) {
    RootFolder root;
    Bstr path(name);
    Bstr definition(xml);
    VARIANT none{};
    ComPtr<IRegisteredTask> registered;
    // The task runs as the player who is signed in, so no password is asked for.
    Check(root->RegisterTask(path.Get(), definition.Get(), TASK_CREATE_OR_UPDATE, none, none,
                             TASK_LOGON_INTERACTIVE_TOKEN, none, registered.Receive()));
}

bool DeleteTask(const std::wstring& name) {
    RootFolder root;
    Bstr path(name);
    HRESULT hr = root->DeleteTask(path.Get(), 0);
    if (IsNotFound(hr))
        return false;
    Check(hr);
    return true;
}

std::optional<ScheduledTask> FindTask(const std::wstring& name) {
    RootFolder root;
    Bstr path(name);
    ComPtr<IRegisteredTask> registered;
    HRESULT hr = root->GetTask(path.Get(), registered.Receive());
    if (IsNotFound(hr))
        return std::nullopt;
    Check(hr);
    ScheduledTask task;
    Bstr xml;
    Check(registered->get_Xml(xml.Receive()));
    task.xml = xml.Text();
    // Wine stores the text it was given unescaped and may fail to read its own definition
    // back: the task is there all the same.
    ComPtr<ITaskDefinition> definition;
    if (FAILED(registered->get_Definition(definition.Receive())))
        return task;
    ComPtr<IRegistrationInfo> info;
    Bstr description;
    if (SUCCEEDED(definition->get_RegistrationInfo(info.Receive())) && SUCCEEDED(info->get_Description(description.Receive())))
        task.description = description.Text();
    ReadFirstAction(*definition.Get(), task);
    ReadFirstTrigger(*definition.Get(), task);
    return task;
}
