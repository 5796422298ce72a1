#include "ToolRunnerWindows.h"

#include <algorithm>
#include <optional>

const char* const nullDevice = "NUL";

namespace {

std::wstring Wide(const std::string& utf8) {
    return NativePath(utf8).wstring();
}

// One argument as the C runtime and CommandLineToArgvW split it again: in
// quotes, a quote escaped, and the backslashes before a quote or the closing
// quote doubled. Written apart from the program's own quoting, so that a fault
// in that one shows here.
void AppendArgument(std::wstring& line, const std::wstring& argument) {
    line += L'"';
    std::size_t backslashes = 0;
    for (const wchar_t character : argument) {
        if (character == L'\\') {
            ++backslashes;
            continue;
        }
        if (character == L'"') {
            backslashes = 2 * backslashes + 1;
        }
        line.append(backslashes, L'\\');
        line += character;
        backslashes = 0;
    }
    line.append(2 * backslashes, L'\\');
    line += L'"';
}

std::wstring CommandLine(const std::string& program, const std::vector<std::string>& arguments) {
    std::wstring line;
    AppendArgument(line, Wide(program));
    for (const std::string& argument : arguments) {
        line += L' ';
        AppendArgument(line, Wide(argument));
    }
    return line;
}

// The child inherits this process's environment: the changes are made here
// for the one start and taken back afterwards. Tests run one at a time.
class EnvironmentChange {
  public:
    explicit EnvironmentChange(const std::vector<std::string>& environment) {
        for (const std::string& assignment : environment) {
            const std::size_t equals = assignment.find('=');
            const std::wstring name = Wide(assignment.substr(0, equals));
            saved.emplace_back(name, Value(name));
            const std::wstring value =
                equals == std::string::npos ? L"" : Wide(assignment.substr(equals + 1));
            ::SetEnvironmentVariableW(name.c_str(),
                                      equals == std::string::npos ? nullptr : value.c_str());
        }
    }
    ~EnvironmentChange() {
        for (auto entry = saved.rbegin(); entry != saved.rend(); ++entry) {
            ::SetEnvironmentVariableW(entry->first.c_str(),
                                      entry->second ? entry->second->c_str() : nullptr);
        }
    }
    EnvironmentChange(const EnvironmentChange&) = delete;
    EnvironmentChange& operator=(const EnvironmentChange&) = delete;

  private:
    static std::optional<std::wstring> Value(const std::wstring& name) {
        const DWORD size = ::GetEnvironmentVariableW(name.c_str(), nullptr, 0);
        if (size == 0) {
            return std::nullopt;
        }
        std::wstring value(size, L'\0');
        value.resize(::GetEnvironmentVariableW(name.c_str(), value.data(), size));
        return value;
    }

    std::vector<std::pair<std::wstring, std::optional<std::wstring>>> saved;
};

// Closes the handle however the function is left.
class Handle {
  public:
    Handle() = default;
    ~Handle() { Close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    void Close() {
        if (handle != nullptr) {
            ::CloseHandle(handle);
            handle = nullptr;
        }
    }
    HANDLE handle = nullptr;
};

// A pipe whose end for the child is inherited and whose end for this process
// is not.
bool MakePipe(Handle& childEnd, Handle& ownEnd, bool childWrites) {
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    Handle& readEnd = childWrites ? ownEnd : childEnd;
    Handle& writeEnd = childWrites ? childEnd : ownEnd;
    return ::CreatePipe(&readEnd.handle, &writeEnd.handle, &inherited, 0) &&
           ::SetHandleInformation(ownEnd.handle, HANDLE_FLAG_INHERIT, 0);
}

// Standard error is text, which the C runtime ends with CR LF on Windows; the
// tests read it as lines. Standard output is compared byte for byte.
std::string LineFeedsOnly(std::string text) {
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) {
        text.erase(at, 1);
    }
    return text;
}

// Moves what the pipe holds now into `bytes`, without waiting for more.
void TakeAvailable(HANDLE pipe, std::string& bytes) {
    char buffer[4096];
    DWORD available = 0;
    while (pipe != nullptr && ::PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) &&
           available > 0) {
        DWORD count = 0;
        if (!::ReadFile(pipe, buffer, std::min<DWORD>(available, sizeof buffer), &count, nullptr)) {
            return;
        }
        bytes.append(buffer, count);
    }
}

// Reads both pipes while the program runs, and what is left once it has ended.
// The end of the pipes is not waited for: a process that the program's start
// brought up (Wine's desktop, say) may inherit them and outlive it.
void Collect(HANDLE process, HANDLE out, HANDLE err, ToolRun& run) {
    for (bool ended = false; !ended;) {
        ended = ::WaitForSingleObject(process, 2) == WAIT_OBJECT_0;
        TakeAvailable(out, run.out);
        TakeAvailable(err, run.err);
    }
    run.err = LineFeedsOnly(run.err);
}

ToolRun Run(const std::string& program, const std::vector<std::string>& arguments,
            const std::vector<std::string>& environment, HANDLE givenOutput) {
    // Windows keeps one desktop for all programs. Wine starts a process for it
    // with the first program that asks and ends it after the last: held by the
    // tests, it is not started anew, for seconds, by every picture program.
    static const HWND desktop = ::GetDesktopWindow();
    (void)desktop;
    ToolRun run;
    Handle inChild, inOwn, outChild, outOwn, errChild, errOwn;
    if (!MakePipe(inChild, inOwn, false) || !MakePipe(errChild, errOwn, true) ||
        (givenOutput == nullptr && !MakePipe(outChild, outOwn, true))) {
        run.err = "cannot make pipes (Windows error " + std::to_string(::GetLastError()) + ")";
        return run;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = inChild.handle;
    startup.hStdOutput = givenOutput != nullptr ? givenOutput : outChild.handle;
    startup.hStdError = errChild.handle;
    PROCESS_INFORMATION process{};
    std::wstring line = CommandLine(program, arguments);
    bool started = false;
    {
        const EnvironmentChange change(environment);
        started = ::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                   nullptr, nullptr, &startup, &process);
    }
    if (!started) {
        run.err =
            "cannot start " + program + " (Windows error " + std::to_string(::GetLastError()) + ")";
        return run;
    }
    ::CloseHandle(process.hThread);
    // Only the child holds these ends now; its standard input reads as empty.
    inChild.Close();
    outChild.Close();
    errChild.Close();
    inOwn.Close();
    Collect(process.hProcess, outOwn.handle, errOwn.handle, run);
    DWORD status = 0;
    ::GetExitCodeProcess(process.hProcess, &status);
    ::CloseHandle(process.hProcess);
    run.exitStatus = static_cast<int>(status);
    return run;
}

} // namespace

ToolRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                   const std::vector<std::string>& environment) {
    return Run(program, arguments, environment, nullptr);
}

ToolRun RunProgramWithOutput(const std::string& program, const std::vector<std::string>& arguments,
                             HANDLE standardOutput) {
    return Run(program, arguments, {}, standardOutput);
}

bool HasProgram(const std::string& program) {
    wchar_t found[MAX_PATH];
    return ::SearchPathW(nullptr, Wide(program).c_str(), L".exe", MAX_PATH, found, nullptr) > 0;
}
