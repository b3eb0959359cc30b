#include "registry/ProgramSettings.h"

#include <variant>

#include "registry/clsRegistry.h"
#include "runtime/AppError.h"

std::wstring ReadSetting(const std::wstring& valueName) {
    RegistryValue stored = clsRegistry().GetValue(HkeyCurrentUser, SettingsKey, valueName);
    const auto* text = std::get_if<std::wstring>(&stored);
    return text ? *text : std::wstring();
}

void WriteSetting(const std::wstring& valueName, const std::wstring& text) {
    try {
        clsRegistry registry;
        if (registry.CreateKey(HkeyCurrentUser, SettingsKey))
            registry.SetValue(HkeyCurrentUser, SettingsKey, valueName, text);
    } catch (const AppError&) {
        // Read-only settings: nothing is remembered.
    }
}
