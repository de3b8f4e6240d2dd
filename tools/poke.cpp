// poke: drives another program's window from a script. Finds a top-level window
// by its title and clicks its buttons, sets, types and reads its controls' text,
// closes it through its close box, and can start the program and await its end.
//
//   poke.exe VERB [ARGS] [VERB [ARGS]]...   the verbs run left to right
//     start PROGRAM        starts PROGRAM (a Windows path); `exit` waits for it
//     find TITLE MS        waits up to MS ms for a shown, painted top-level window
//                          titled TITLE (a final * matches any rest); it becomes
//                          the target of the verbs below
//     click ID             BM_CLICK to the target's control ID
//     settext ID TEXT      WM_SETTEXT to control ID
//     type ID TEXT         each byte of TEXT to control ID as a typed character
//                          (WM_CHAR; "\n" in TEXT is Enter)
//     gettext ID FILE      writes the text of control ID to FILE
//     gettextclass CLASS FILE  writes the text of the target's first child of
//                          window class CLASS to FILE (for a control with no fixed id)
//     close                WM_SYSCOMMAND SC_CLOSE to the target, as its close box
//     front                brings the target to the front, as a click on its
//                          caption would, and waits until it is drawn active
//     rect FILE            the target's window rectangle as WxH+X+Y (ImageMagick)
//     signal FILE          creates FILE, to tell a waiting script a step is done
//     await FILE MS        waits up to MS ms until FILE exists
//     exit MS FILE         waits up to MS ms for the started program to end and
//                          writes its exit code to FILE
//   FILE is a Windows path, or - for standard output (each value then ends
//   with a line break).
//
// Exit code: 0 when every verb succeeded, 1 when one failed (the rest are not
// run; the reason goes to standard error), 2 for a usage error.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr DWORD kSendTimeout = 5000;
constexpr DWORD kPollInterval = 50;

struct Poke {
    HWND target;
    PROCESS_INFORMATION program;
    int argc;
    char** argv;
    int next; // the next argument to take
};

bool Fail(const char* what, const char* detail) {
    std::fprintf(stderr, "poke: %s %s\n", what, detail != nullptr ? detail : "");
    return false;
}

// The next argument, or nullptr when there are no more.
const char* Take(Poke& poke) {
    return poke.next < poke.argc ? poke.argv[poke.next++] : nullptr;
}

bool TakeNumber(Poke& poke, DWORD& number) {
    const char* text = Take(poke);
    if (text == nullptr || *text == '\0' || std::strspn(text, "0123456789") != std::strlen(text)) {
        return false;
    }
    number = static_cast<DWORD>(std::strtoul(text, nullptr, 10));
    return true;
}

HWND TakeControl(Poke& poke) {
    const char* id = Take(poke);
    return id != nullptr ? GetDlgItem(poke.target, std::atoi(id)) : nullptr;
}

bool Write(const char* path, const std::string& text) {
    if (std::strcmp(path, "-") == 0) {
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
        return true;
    }
    FILE* file = std::fopen(path, "wb");
    if (file == nullptr) {
        return Fail("cannot write", path);
    }
    std::fwrite(text.data(), 1, text.size(), file);
    return std::fclose(file) == 0;
}

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, kSendTimeout, &result);
    return static_cast<LRESULT>(result);
}

bool TitleMatches(const char* title, const char* wanted) {
    const std::size_t length = std::strlen(wanted);
    if (length > 0 && wanted[length - 1] == '*') {
        return std::strncmp(title, wanted, length - 1) == 0;
    }
    return std::strcmp(title, wanted) == 0;
}

struct Search {
    const char* title;
    HWND found;
};

BOOL CALLBACK OfferWindow(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    char title[512] = {};
    GetWindowTextA(window, title, sizeof title);
    if (IsWindowVisible(window) && TitleMatches(title, search->title)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// Painted: the window's thread answers, and neither the window nor any of its
// children has a part still waiting to be drawn.
bool Painted(HWND window) {
    DWORD_PTR ignored = 0;
    if (SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, kSendTimeout, &ignored) == 0 ||
        GetUpdateRect(window, nullptr, FALSE)) {
        return false;
    }
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (GetUpdateRect(child, nullptr, FALSE)) {
            return false;
        }
    }
    return true;
}

bool Start(Poke& poke) {
    const char* program = Take(poke);
    if (program == nullptr) {
        return Fail("start needs a program", nullptr);
    }
    std::string commandLine = std::string("\"") + program + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &poke.program)) {
        return Fail("cannot start", program);
    }
    return true;
}

bool Find(Poke& poke) {
    Search search{Take(poke), nullptr};
    DWORD timeout = 0;
    if (search.title == nullptr || !TakeNumber(poke, timeout)) {
        return Fail("find needs a title and a time in ms", nullptr);
    }
    const DWORD begin = GetTickCount();
    do {
        search.found = nullptr;
        EnumWindows(OfferWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr && Painted(search.found)) {
            poke.target = search.found;
            return true;
        }
        Sleep(kPollInterval);
    } while (GetTickCount() - begin < timeout);
    return Fail("no shown window titled", search.title);
}

bool Click(Poke& poke) {
    HWND control = TakeControl(poke);
    if (control == nullptr) {
        return Fail("click needs a control of the target", nullptr);
    }
    Send(control, BM_CLICK, 0, 0);
    return true;
}

bool SetText(Poke& poke) {
    HWND control = TakeControl(poke);
    const char* text = Take(poke);
    if (control == nullptr || text == nullptr) {
        return Fail("settext needs a control of the target and a text", nullptr);
    }
    Send(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    return true;
}

bool Type(Poke& poke) {
    HWND control = TakeControl(poke);
    const char* text = Take(poke);
    if (control == nullptr || text == nullptr) {
        return Fail("type needs a control of the target and a text", nullptr);
    }
    for (const char* p = text; *p != '\0'; ++p) {
        const auto byte = static_cast<unsigned char>(*p == '\n' ? '\r' : *p);
        Send(control, WM_CHAR, byte, 1);
    }
    return true;
}

// WM_GETTEXT, not GetWindowTextA: across processes only the message reads an
// edit box's contents.
std::string ReadText(HWND control) {
    std::string text(static_cast<std::size_t>(Send(control, WM_GETTEXTLENGTH, 0, 0)) + 1, '\0');
    const LRESULT copied =
        Send(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

bool GetText(Poke& poke) {
    HWND control = TakeControl(poke);
    const char* path = Take(poke);
    if (control == nullptr || path == nullptr) {
        return Fail("gettext needs a control of the target and a file", nullptr);
    }
    return Write(path, ReadText(control));
}

bool GetTextClass(Poke& poke) {
    const char* className = Take(poke);
    const char* path = Take(poke);
    if (className == nullptr || path == nullptr) {
        return Fail("gettextclass needs a class name and a file", nullptr);
    }
    HWND control = FindWindowExA(poke.target, nullptr, className, nullptr);
    if (control == nullptr) {
        return Fail("the target has no child of class", className);
    }
    return Write(path, ReadText(control));
}

// cppcheck-suppress constParameter ; every verb has the one signature of the table
bool Close(Poke& poke) {
    if (!PostMessageA(poke.target, WM_SYSCOMMAND, SC_CLOSE, 0)) {
        return Fail("close needs a target", nullptr);
    }
    return true;
}

// The foreground window, as a click on the caption makes it: nothing in the
// client area is clicked, so focus, caret and selections stay as they are.
// Wine's virtual desktop activates the window but leaves its caption drawn
// inactive (a click on the caption through SendInput does the same), so the
// caption is then drawn active with the WM_NCACTIVATE that activation sends.
bool Front(Poke& poke) {
    if (poke.target == nullptr) {
        return Fail("front needs a target", nullptr);
    }
    SetForegroundWindow(poke.target);
    const DWORD begin = GetTickCount();
    while (GetForegroundWindow() != poke.target || !Painted(poke.target)) {
        if (GetTickCount() - begin >= kSendTimeout) {
            return Fail("the target did not come to the front", nullptr);
        }
        Sleep(kPollInterval);
    }
    Send(poke.target, WM_NCACTIVATE, TRUE, 0);
    return true;
}

bool Rect(Poke& poke) {
    const char* path = Take(poke);
    RECT box{};
    if (path == nullptr || !GetWindowRect(poke.target, &box)) {
        return Fail("rect needs a target and a file", nullptr);
    }
    char text[64];
    std::snprintf(text, sizeof text, "%ldx%ld+%ld+%ld", box.right - box.left, box.bottom - box.top,
                  box.left, box.top);
    return Write(path, text);
}

bool Signal(Poke& poke) {
    const char* path = Take(poke);
    return path != nullptr ? Write(path, "") : Fail("signal needs a file", nullptr);
}

bool Await(Poke& poke) {
    const char* path = Take(poke);
    DWORD timeout = 0;
    if (path == nullptr || !TakeNumber(poke, timeout)) {
        return Fail("await needs a file and a time in ms", nullptr);
    }
    const DWORD begin = GetTickCount();
    while (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) {
        if (GetTickCount() - begin >= timeout) {
            return Fail("nothing came at", path);
        }
        Sleep(kPollInterval);
    }
    return true;
}

bool Exit(Poke& poke) {
    DWORD timeout = 0;
    if (!TakeNumber(poke, timeout)) {
        return Fail("exit needs a time in ms and a file", nullptr);
    }
    const char* path = Take(poke);
    if (path == nullptr || poke.program.hProcess == nullptr) {
        return Fail("exit needs a file and a started program", nullptr);
    }
    if (WaitForSingleObject(poke.program.hProcess, timeout) != WAIT_OBJECT_0) {
        return Fail("the program did not end", nullptr);
    }
    DWORD code = 0;
    GetExitCodeProcess(poke.program.hProcess, &code);
    return Write(path, std::to_string(code));
}

struct Verb {
    const char* name;
    bool (*run)(Poke&);
};

constexpr Verb kVerbs[] = {
    {"start", Start},
    {"find", Find},
    {"click", Click},
    {"settext", SetText},
    {"type", Type},
    {"gettext", GetText},
    {"gettextclass", GetTextClass},
    {"close", Close},
    {"front", Front},
    {"rect", Rect},
    {"signal", Signal},
    {"await", Await},
    {"exit", Exit},
};

const Verb* FindVerb(const char* name) {
    for (const Verb& verb : kVerbs) {
        if (std::strcmp(verb.name, name) == 0) {
            return &verb;
        }
    }
    return nullptr;
}

} // namespace

int main(int argc, char** argv) {
    _setmode(_fileno(stdout), _O_BINARY); // texts keep their own line breaks
    Poke poke{nullptr, {}, argc, argv, 1};
    if (argc < 2) {
        std::fprintf(stderr, "usage: poke.exe VERB [ARGS] [VERB [ARGS]]...\n");
        return 2;
    }
    while (poke.next < poke.argc) {
        const char* name = Take(poke);
        const Verb* verb = FindVerb(name);
        if (verb == nullptr) {
            Fail("unknown verb", name);
            return 2;
        }
        if (!verb->run(poke)) {
            return 1;
        }
    }
    return 0;
}
