#pragma once
// Message boxes. Every message the program shows goes through MsgBox, so that tests
// can record and answer them in place of a person.

#include <functional>
#include <string>

enum class MsgButtons { Ok, YesNo };
enum class MsgIcon { None, Exclamation, Critical };
enum class MsgResult { Ok, Yes, No };

struct MsgBoxCall {
    std::wstring text;
    std::wstring title;  // as shown: an untitled box shows the program's title
    MsgButtons buttons = MsgButtons::Ok;
    MsgIcon icon = MsgIcon::None;
};

// Shows a modal message box owned by the active window. An empty title shows
// "Backup Tarnwick".
MsgResult MsgBox(const std::wstring& text, MsgButtons buttons = MsgButtons::Ok,
                 MsgIcon icon = MsgIcon::None, const std::wstring& title = {});

// Replaces the real message box (tests answer in the user's place). An empty
// function restores the real one. Returns the previous hook.
using MsgBoxHook = std::function<MsgResult(const MsgBoxCall&)>;
MsgBoxHook SetMsgBoxHook(MsgBoxHook hook);
