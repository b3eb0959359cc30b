#pragma once
// Starting a program as the signed-in user from a program that may run elevated (started
// as administrator, or started again with the rights for a restore): whatever it starts
// itself inherits its rights, so a web browser started so would run as administrator.
// The desktop's shell runs as the user; it is asked to start the program instead.

#include <string>

// Asks the desktop's shell to open file with the parameters. False when there is no
// desktop shell to ask (another shell, a Windows without Explorer, Wine) or it refused;
// the caller then starts the program itself.
bool ShellExecuteFromDesktop(const std::wstring& file, const std::wstring& parameters);
