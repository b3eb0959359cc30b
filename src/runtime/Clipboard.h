#pragma once
// The system clipboard.

#include <windows.h>

#include <string>

// Empties the clipboard and puts the text on it as plain text. False when the
// clipboard stays busy (another program holds it open) or memory runs out.
bool PutTextOnClipboard(HWND owner, const std::wstring& text);

// The clipboard's plain text, or "" when it holds none.
std::wstring TextOnClipboard();
