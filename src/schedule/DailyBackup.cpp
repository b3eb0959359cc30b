#include "schedule/DailyBackup.h"

#include <cwchar>

#include "runtime/ArgumentQuote.h"
#include "runtime/TextConv.h"
#include "runtime/Texts.h"

namespace {

bool AllDigits(const std::wstring& text) {
    return !text.empty() && text.size() <= 2 && text.find_first_not_of(L"0123456789") == std::wstring::npos;
}

std::wstring TwoDigits(int value) {
    wchar_t text[8];
    swprintf(text, 8, L"%02d", value);
    return text;
}

// Text as XML element content.
std::wstring XmlText(const std::wstring& text) {
    std::wstring escaped;
    for (wchar_t c : text) {
        switch (c) {
        case L'&': escaped += L"&amp;"; break;
        case L'<': escaped += L"&lt;"; break;
        case L'>': escaped += L"&gt;"; break;
        default: escaped += c;
        }
    }
    return escaped;
}

// One word for a POSIX shell, in single quotes unless it is plain; cron reads an
// unescaped "%" as a line end.
std::wstring ShellWord(const std::wstring& word) {
    const wchar_t* plain = L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/._-";
    if (!word.empty() && word.find_first_not_of(plain) == std::wstring::npos)
        return word;
    std::wstring quoted = L"'";
    for (wchar_t c : word) {
        if (c == L'\'')
            quoted += L"'\\''";
        else if (c == L'%')
            quoted += L"\\%";
        else
            quoted += c;
    }
    return quoted + L"'";
}

}  // namespace

std::optional<unsigned> ParseSetsKept(const std::wstring& text) {
    if (text.empty() || text.size() > 4 || text.find_first_not_of(L"0123456789") != std::wstring::npos)
        return std::nullopt;
    auto keep = static_cast<unsigned>(std::wcstoul(text.c_str(), nullptr, 10));
    if (keep < 1 || keep > MaxSetsKept)
        return std::nullopt;
    return keep;
}

std::optional<TimeOfDay> TimeOfDay::Parse(const std::wstring& text) {
    std::wstring trimmed = Trim(text);
    size_t colon = trimmed.find(L':');
    if (colon == std::wstring::npos)
        return std::nullopt;
    std::wstring hours = trimmed.substr(0, colon);
    std::wstring minutes = trimmed.substr(colon + 1);
    if (!AllDigits(hours) || !AllDigits(minutes) || minutes.size() != 2)
        return std::nullopt;
    TimeOfDay time{std::stoi(hours), std::stoi(minutes)};
    if (time.hour > 23 || time.minute > 59)
        return std::nullopt;
    return time;
}

std::wstring TimeOfDay::Text() const { return TwoDigits(hour) + L":" + TwoDigits(minute); }

std::vector<std::wstring> DailyBackup::Arguments() const {
    return {L"/backup", folder, L"/dated", L"/keep", std::to_wstring(keep)};
}

std::wstring DailyTaskXml(const DailyBackup& backup, const SYSTEMTIME& firstDay) {
    std::wstring start = std::to_wstring(firstDay.wYear) + L"-" + TwoDigits(firstDay.wMonth) + L"-" +
                         TwoDigits(firstDay.wDay) + L"T" + backup.at.Text() + L":00";
    std::wstring description = FillIn(texts::DailyTaskDescription, {backup.folder, backup.at.Text(),
                                                                    std::to_wstring(backup.keep)});
    // A backup needs no more than the player's own rights, and the task gives it no more.
    // A start missed while the computer was off
    // runs as soon as it can; a backup still running when the next is due is left alone.
    return LR"(<?xml version="1.0" encoding="UTF-16"?>
<Task version="1.2" xmlns="http://schemas.microsoft.com/windows/2004/02/mit/task">
  <RegistrationInfo>
    <Description>)" + XmlText(description) + LR"(</Description>
  </RegistrationInfo>
  <Triggers>
    <CalendarTrigger>
      <StartBoundary>)" + start + LR"(</StartBoundary>
      <Enabled>true</Enabled>
      <ScheduleByDay>
        <DaysInterval>1</DaysInterval>
      </ScheduleByDay>
    </CalendarTrigger>
  </Triggers>
  <Principals>
    <Principal id="Author">
      <LogonType>InteractiveToken</LogonType>
      <RunLevel>LeastPrivilege</RunLevel>
    </Principal>
  </Principals>
  <Settings>
    <MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>
    <DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>
    <StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>
    <StartWhenAvailable>true</StartWhenAvailable>
    <Enabled>true</Enabled>
  </Settings>
  <Actions Context="Author">
    <Exec>
      <Command>)" + XmlText(backup.program) + LR"(</Command>
      <Arguments>)" + XmlText(JoinArguments(backup.Arguments())) + LR"(</Arguments>
    </Exec>
  </Actions>
</Task>
)";
}

std::wstring DailyCronLine(const DailyBackup& backup, const WineRun& wine) {
    // Wine's own debug notes would reach the crontab owner's mail every night; the job's
    // line is in the program's log.
    std::wstring line = std::to_wstring(backup.at.minute) + L" " + std::to_wstring(backup.at.hour) +
                        L" * * * WINEPREFIX=" + ShellWord(wine.prefix);
    if (!wine.locale.empty())
        line += L" LC_ALL=" + ShellWord(wine.locale);
    line += L" WINEDEBUG=-all wine " + ShellWord(wine.program);
    for (const std::wstring& argument : backup.Arguments())
        line += L" " + ShellWord(argument);
    return line;
}
