// Where the program lives: every file it reads or writes sits beside it.
//
// The program's texts are ANSI, but the folder it is unpacked into may hold
// letters the ANSI code page lacks (a Polish name on a Western system). Its
// ANSI form then has "?" in their place and names no file, so the program's
// own files are opened by their wide names: FilePath turns a path that
// begins with ProgramFolder() back into the folder's true name.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace ui {

std::string ExecutablePath();
// The executable's folder with its trailing backslash, as readable as the
// ANSI code page allows: the form every message shows.
std::string ProgramFolder();
// The same folder with every character kept.
const std::wstring& WideProgramFolder();
// The wide path to open for `path`: the folder's true name in place of
// ProgramFolder(), the rest read in the ANSI code page.
std::wstring FilePath(const std::string& path);
// ANSI and wide text in the ANSI code page; letters it lacks become "?".
std::wstring WideFromAnsi(const std::string& text);
std::string AnsiFromWide(const std::wstring& text);
// Wide text in any code page (CP_UTF8 keeps every character); `lost`, where
// asked, tells whether a character had no equal there.
std::string Narrow(const std::wstring& text, UINT codePage, DWORD flags = 0, BOOL* lost = nullptr);
// An ANSI name that opens `path`, for a call that has only the ANSI form:
// the path itself when the code page spells it, else its short name when
// that is spelled (short names can be switched off on a volume).
std::optional<std::string> AnsiPath(const std::wstring& path);
bool FileExists(const std::string& path);

}  // namespace ui
